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
cli="$bin/src/cli/orbik-cli"
echo "$ orbik-cli build Project/Demo"
"$cli" build Project/Demo

# The simulated device on the installation's port: send the demo image,
# then read the configuration back and compare it with what was built.
sim="$bin/tools/orbiksim/orbiksim"
port=$(sed -n 's/^Interface=COM\([0-9]*\).*/\1/p' orbik.ini | head -n1)
port=${port:-1}
comdir=$(mktemp -d)
export ORBIK_COM_DIR="$comdir"
"$sim" --port "$port" >"$comdir/sim.log" &
simpid=$!
trap 'kill $simpid 2>/dev/null; wait $simpid 2>/dev/null; rm -rf "$comdir"' EXIT
for _ in $(seq 50); do grep -q READY "$comdir/sim.log" && break; sleep 0.1; done
echo
echo "Simulated ORBIK on COM$port"
echo "$ orbik-cli identify --port COM$port"
"$cli" identify --port "COM$port"
echo "$ orbik-cli send Project/Demo/Demo.CIF --port COM$port"
"$cli" send Project/Demo/Demo.CIF --port "COM$port"
echo "$ orbik-cli read-config $comdir/readback.cim --port COM$port"
"$cli" read-config "$comdir/readback.cim" --port "COM$port"
size=$(stat -c %s Project/Demo/Demo.CIM)
if cmp -s -n "$size" Project/Demo/Demo.CIM "$comdir/readback.cim"; then
  echo "The device holds the demo configuration: the first $size bytes read back equal Demo.CIM."
else
  echo "The configuration read back differs from Demo.CIM." >&2
  exit 1
fi
