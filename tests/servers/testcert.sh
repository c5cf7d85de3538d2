#!/usr/bin/env bash
# Makes a self-signed test certificate for 127.0.0.1 / localhost once: testcert.sh DIR
# -> DIR/cert.pem, DIR/key.pem
set -euo pipefail
dir="$1"
mkdir -p "$dir"
if [[ ! -s "$dir/cert.pem" || ! -s "$dir/key.pem" ]]; then
    openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=localhost" \
        -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" \
        -keyout "$dir/key.pem" -out "$dir/cert.pem" >/dev/null 2>&1
fi
