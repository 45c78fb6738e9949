#!/usr/bin/env bash
# Checks the editor as a desktop program: installs a build into a folder of
# its own and checks the tree (the program, headers.dat, a valid desktop
# entry, the icon, the manual page), starts the installed program as the
# desktop menu does and sees it make the user's levels folder, then makes the
# Debian package and checks its name, contents and dependencies.
#   tools/check_install.sh [BUILD_FOLDER]
# With --apt as second argument it also installs the package with apt-get,
# starts the installed terrafix and removes the package again (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(realpath "${1:-build}")
apt=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

cmake --build "$build" -j2 --target terrafix terrafix_icon >/dev/null
cmake --install "$build" --prefix "$work/usr" >/dev/null
tree=$work/usr
for file in bin/terrafix share/terrafix/headers.dat share/applications/terrafix.desktop \
  share/icons/hicolor/scalable/apps/terrafix.svg share/man/man1/terrafix.1; do
  [ -s "$tree/$file" ] || fail "$file is not installed"
done
[ -x "$tree/bin/terrafix" ] || fail "bin/terrafix cannot be run"
cmp -s "$tree/share/terrafix/headers.dat" data/headers.dat || fail "the installed headers.dat differs"
desktop-file-validate "$tree/share/applications/terrafix.desktop" || fail "the desktop entry is not valid"
grep -q '^Exec=terrafix --desktop %f$' "$tree/share/applications/terrafix.desktop" || fail "the entry does not start the editor for the desktop"
grep -q '^<svg ' "$tree/share/icons/hicolor/scalable/apps/terrafix.svg" || fail "the icon is no SVG drawing"
grep -q '^\.TH TERRAFIX 1' "$tree/share/man/man1/terrafix.1" || fail "the manual page has no title"
echo "installed tree: complete"

# Started as the desktop menu starts it, in an X server of its own: true once
# its window is shown, with the levels folder made and headers.dat in it.
starts_from_the_menu() {
  local program=$1 home=$2
  mkdir -p "$home"
  HOME=$home ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    "$0" --desktop </dev/null >/dev/null 2>&1 &
    editor=$!
    for _ in $(seq 200); do
      xdotool search --onlyvisible --name "^terrafix\$" >/dev/null 2>&1 && { kill $editor; exit 0; }
      sleep 0.1
    done
    kill $editor; exit 1' "$program" || return 1
  cmp -s "$home/Terrafix/headers.dat" "$root/data/headers.dat"
}
starts_from_the_menu "$tree/bin/terrafix" "$work/home" || fail "the installed editor did not start from the menu"
echo "desktop start: a window, and ~/Terrafix made with headers.dat"

# The Debian package.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" >/dev/null)
arch=$(dpkg --print-architecture)
deb=$(ls "$work"/terrafix_*_"$arch".deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no terrafix_<version>_$arch.deb was made"
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/terrafix ./usr/share/terrafix/headers.dat ./usr/share/applications/terrafix.desktop \
  ./usr/share/icons/hicolor/scalable/apps/terrafix.svg ./usr/share/man/man1/terrafix.1; do
  grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'gzip' <<<"$depends" || fail "the package does not depend on gzip: $depends"
grep -q 'libdeflate-tools' <<<"$depends" || fail "the package does not bring libdeflate's tools: $depends"
grep -q 'libsdl2' <<<"$depends" || fail "the package does not depend on SDL2: $depends"
echo "package: $(basename "$deb"), depends on $depends"

if [ "$apt" = "--apt" ]; then
  cp "$deb" /tmp/
  apt-get install -y -qq "/tmp/$(basename "$deb")" >/dev/null
  [ -x /usr/bin/terrafix ] || fail "apt-get installed no /usr/bin/terrafix"
  starts_from_the_menu /usr/bin/terrafix "$work/apthome" || fail "the terrafix installed by apt-get did not start"
  apt-get remove -y -qq terrafix >/dev/null
  rm -f "/tmp/$(basename "$deb")"
  echo "apt-get: installed, started and removed again"
fi
echo "check_install: all good"
