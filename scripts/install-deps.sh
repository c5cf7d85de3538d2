#!/usr/bin/env bash
# Installs every Debian package the build and the tests need.
# Package names come from scripts/deps/*.list (one name per line, '#' starts a comment),
# so each part of the project keeps its own list. Non-interactive, never starts a system
# service, and quick when everything is already present.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

mapfile -t wanted < <(cat "$here"/deps/*.list | sed -e 's/#.*//' -e 's/[[:space:]]//g' | grep -v '^$' | sort -u)

missing=()
for p in "${wanted[@]}"; do
    st="$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)"
    [[ "$st" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "install-deps: installing ${missing[*]}" >&2
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi

# Packages must not start daemons on the standard ports: forbid every start while we install.
policy=/usr/sbin/policy-rc.d
had_policy=0
if [[ -e $policy ]]; then had_policy=1; fi
if ((had_policy == 0)); then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
    $sudo chmod 755 "$policy"
fi
cleanup() { if ((had_policy == 0)); then $sudo rm -f "$policy"; fi; }
trap cleanup EXIT

export DEBIAN_FRONTEND=noninteractive
stamp=/var/lib/apt/periodic/velmora-update-stamp
if [[ ! -e $stamp ]] || [[ -n "$(find "$stamp" -mmin +720 2>/dev/null)" ]]; then
    $sudo apt-get update -qq
    $sudo mkdir -p "$(dirname "$stamp")" && $sudo touch "$stamp"
fi
$sudo apt-get install -y -qq --no-install-recommends \
    -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold "${missing[@]}" >/dev/null
echo "install-deps: done" >&2
