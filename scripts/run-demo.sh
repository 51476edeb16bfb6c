#!/usr/bin/env bash
# Installs what is missing, builds, and starts the system in the demo
# installation (build/default/demo): the windowed program when there is a
# display, otherwise the most the console can do.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j2

bin="$root/build/default"
demo="$bin/demo"
cd "$demo"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$bin/src/app/orbik" ]; then
  echo "Starting orbik in $demo"
  exec "$bin/src/app/orbik"
fi

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (DISPLAY/WAYLAND_DISPLAY unset): running the console tools in $demo instead."
else
  echo "The windowed program is not built yet: running the console tools in $demo instead."
fi
echo "$ orbik-cli --version"
"$bin/src/cli/orbik-cli" --version
