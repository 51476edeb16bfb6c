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

# The simulated device on the installation's port, and a round trip of its
# configuration: read it back, send it again.
sim="$bin/tools/orbiksim/orbiksim"
if [ -x "$sim" ]; then
  port=$(sed -n 's/^Interface=COM\([0-9]*\).*/\1/p' orbik.ini | head -n1)
  port=${port:-1}
  comdir=$(mktemp -d)
  export ORBIK_COM_DIR="$comdir"
  "$sim" --port "$port" --memory "$comdir/memory.bin" >"$comdir/sim.log" &
  simpid=$!
  trap 'kill $simpid 2>/dev/null; wait $simpid 2>/dev/null; rm -rf "$comdir"' EXIT
  for _ in $(seq 50); do grep -q READY "$comdir/sim.log" && break; sleep 0.1; done
  echo "Simulated ORBIK on COM$port"
  echo "$ orbik-cli identify --port COM$port"
  "$bin/src/cli/orbik-cli" identify --port "COM$port"
  echo "$ orbik-cli read-config backup.cim --port COM$port"
  "$bin/src/cli/orbik-cli" read-config backup.cim --port "COM$port"
  echo "$ orbik-cli send backup.cim --port COM$port --keep-voice"
  "$bin/src/cli/orbik-cli" send backup.cim --port "COM$port" --keep-voice
fi
