#!/usr/bin/env bash
# Builds the Debian package and checks what it installs. Without --apt the
# package is unpacked into a scratch folder and run from there; with --apt
# (as root, on a Debian 12 that may be changed) it is installed with
# `apt install ./orbik_*.deb` and run from /usr.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bin="$root/build/default"

cmake --preset default >/dev/null
cmake --build --preset default -j2 --target orbik orbik-cli orbikflash orbiksim Serial demo
(cd "$bin" && rm -f orbik_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$bin"/orbik_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Depends

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "${1:-}" = "--apt" ]; then
  apt-get install -y -q "$deb"
  prefix=/usr
else
  dpkg-deb -x "$deb" "$work/root"
  prefix="$work/root/usr"
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in bin/orbik bin/orbik-cli bin/orbikflash bin/orbiksim share/applications/orbik.desktop \
         share/icons/hicolor/scalable/apps/orbik.svg share/orbik/template/orbik.ini \
         share/orbik/template/formcaps.txt; do
  [ -e "$prefix/$f" ] || fail "$f not installed"
done
ls "$prefix"/lib/*/libSerial.so* >/dev/null 2>&1 || ls "$prefix"/lib/libSerial.so* >/dev/null \
  || fail "libSerial not installed"

"$prefix/bin/orbik-cli" --version || fail "orbik-cli --version"

# The demo project builds from the installed template.
cp -r "$prefix/share/orbik/template" "$work/demo"
(cd "$work/demo" && "$prefix/bin/orbik-cli" build Project/Demo >/dev/null) || fail "demo build"

# orbik from the menu: the home folder is no program directory, so it makes
# the user's own from the template and keeps running in it.
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"
status=0
(cd "$HOME" && QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/orbik") || status=$?
[ "$status" -eq 124 ] || fail "orbik ended early with status $status"
[ -e "$XDG_DATA_HOME/ORBIK/ORBIK/orbik.ini" ] || fail "no program directory under the data folder"
echo "package ok"
