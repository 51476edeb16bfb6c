#!/usr/bin/env bash
# Pictures of the main window, the settings dialog, the transfer dialog
# (reading from the simulated device) and the demo project open in the main
# window, in English and in German, on a
# virtual display, in build/default/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bin="$root/build/default"
out="$bin/screenshots"

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target orbik-screens orbiksim demo
mkdir -p "$out"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x700x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)

# The device on the demo installation's port (COM1), at the real line rate
# so that the dialog is caught mid-transfer.
export ORBIK_COM_DIR="$work/com"
mkdir -p "$ORBIK_COM_DIR"
"$bin/tools/orbiksim/orbiksim" --port 1 --baud 57600 --memory "$work/memory.bin" >"$work/sim.log" &
pids+=($!)
for _ in $(seq 50); do grep -q READY "$work/sim.log" && break; sleep 0.1; done
sleep 0.5  # the display

# Each language in a copy of the demo installation that speaks it.
for language in English German; do
  cp -r "$bin/demo" "$work/demo-$language"
  sed -i "s/^Program=.*/Program=$language\r/" "$work/demo-$language/orbik.ini"
  (cd "$work/demo-$language" &&
     DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" \
       "$bin/tools/screenshots/orbik-screens" "$out" "$language")
done
echo "Pictures in $out"
