#!/usr/bin/env bash
# nginx on 127.0.0.1 with an HTTP and an HTTPS port (self-signed certificate made here) and
# the pages the URL check tests use. Usage: nginx.sh start|stop STATE_DIR
# Writes STATE_DIR/nginx.env: PORT (HTTP), TLS_PORT, CERT (the certificate, usable as root),
# USER / PASSWORD of the basic-auth page, COOKIE the cookie the guarded page wants.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/common-port.sh"
cmd=${1:?start|stop}
state=${2:?state dir}
dir="$state/nginx"

stop() {
    stop_pidfile "$dir/nginx.pid"
    rm -f "$state/nginx.env"
}

if [[ $cmd == stop ]]; then
    stop
    exit 0
fi

stop
rm -rf "$dir"
mkdir -p "$dir"/{html/auth,html/chain,temp,logs}
http_port=$(free_port)
tls_port=$(free_port)
while [[ $tls_port == "$http_port" ]]; do tls_port=$(free_port); done

openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj /CN=localhost \
    -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" \
    -keyout "$dir/key.pem" -out "$dir/cert.pem" >/dev/null 2>&1
printf 'checker:%s\n' "$(openssl passwd -apr1 'Se cret')" > "$dir/htpasswd"

echo 'hello from the test server' > "$dir/html/index.html"
echo 'the end of the chain' > "$dir/html/ok.html"
echo 'inside the protected area' > "$dir/html/auth/index.html"
head -c 200000 /dev/zero | tr '\0' 'x' > "$dir/html/big.txt"

cat > "$dir/pages.conf" <<CONF
root $dir/html;
absolute_redirect off;
location = /notmodified { return 304; }
location = /chain/1 { return 302 /chain/2; }
location = /chain/2 { return 302 /chain/3; }
location = /chain/3 { return 302 /ok.html; }
location = /loop { return 302 /loop; }
location = /created { add_header Location /ok.html always; return 201 "made\n"; }
location /auth/ { auth_basic "Velmora test"; auth_basic_user_file $dir/htpasswd; }
location = /cookie {
    default_type text/plain;
    if (\$cookie_session != "opensesame") { return 403; }
    return 200 "cookie accepted\n";
}
location = /slow { alias $dir/html/big.txt; limit_rate 1; limit_rate_after 0; }
location = /method { default_type text/plain; return 200 "\$request_method\n"; }
CONF

cat > "$dir/nginx.conf" <<CONF
user root;
worker_processes 1;
pid $dir/nginx.pid;
error_log $dir/logs/error.log;
events { worker_connections 64; }
http {
    access_log $dir/logs/access.log;
    client_body_temp_path $dir/temp/body;
    proxy_temp_path $dir/temp/proxy;
    fastcgi_temp_path $dir/temp/fastcgi;
    uwsgi_temp_path $dir/temp/uwsgi;
    scgi_temp_path $dir/temp/scgi;
    default_type text/html;
    server {
        listen 127.0.0.1:$http_port;
        server_name localhost;
        include $dir/pages.conf;
    }
    server {
        listen 127.0.0.1:$tls_port ssl;
        server_name localhost;
        ssl_certificate $dir/cert.pem;
        ssl_certificate_key $dir/key.pem;
        include $dir/pages.conf;
    }
}
CONF

nginx -p "$dir" -e "$dir/logs/error.log" -c "$dir/nginx.conf"
if ! wait_port "$http_port" || ! wait_port "$tls_port"; then
    cat "$dir/logs/error.log" >&2 || true
    stop
    exit 1
fi
cat > "$state/nginx.env" <<ENV
HOST=127.0.0.1
PORT=$http_port
TLS_PORT=$tls_port
CERT=$dir/cert.pem
USER=checker
PASSWORD=Se cret
COOKIE=opensesame
ENV
