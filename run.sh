#!/usr/bin/env bash
# Installs what is missing, builds, prepares an application directory and runs the
# monitoring daemon in the foreground (Ctrl-C stops it).
#   VELMORA_APP_DIR   application directory (default ./var/app)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$root"
./scripts/install-deps.sh
./scripts/build.sh
build="${VELMORA_BUILD_DIR:-$root/build}"

export VELMORA_APP_DIR="${VELMORA_APP_DIR:-$root/var/app}"
mkdir -p "$VELMORA_APP_DIR"/{bin,conf,log,help}
ln -sf "$build/service/VelmoraProService" "$VELMORA_APP_DIR/bin/VelmoraProService"
ln -sf "$build/console/VelmoraPro" "$VELMORA_APP_DIR/bin/VelmoraPro"
ln -sf "$build/cli/velmoractl" "$VELMORA_APP_DIR/bin/velmoractl"
cp -rf "$root"/help/. "$VELMORA_APP_DIR/help/"

if [[ -x "$root/scripts/ensure-database.sh" ]]; then
    "$root/scripts/ensure-database.sh" "$VELMORA_APP_DIR"
fi

echo "Velmora Pro: application directory $VELMORA_APP_DIR" >&2
exec "$VELMORA_APP_DIR/bin/VelmoraProService"
