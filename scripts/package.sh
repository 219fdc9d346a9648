#!/usr/bin/env bash
# Builds the Debian package and checks it with Debian's own validators:
# lintian on the package, desktop-file-validate on its menu entry and
# appstreamcli on its software-centre description, as they ship in it.
#
#   scripts/package.sh            build and validate (what CI runs)
#   scripts/package.sh --install  also install it with apt-get, start the
#                                 installed program by its menu command on a
#                                 virtual display, close it, and remove it
#                                 again, checking that nothing is left
#
# Installing needs root, or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

install=false
case "${1:-}" in
  --install) install=true ;;
  "") ;;
  *) echo "usage: $0 [--install]" >&2; exit 2 ;;
esac

tools=(dpkg-dev lintian desktop-file-utils appstream)
$install && tools+=(xvfb openbox xdotool wmctrl)
scripts/install-deps.sh "${tools[@]}"

# Debian's own compiler and linker flags: hardened (stack protector,
# fortified functions, read-only relocations bound at start-up), and the
# build folder's path kept out of the binaries.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset package \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build --preset package
rm -f build/package/orvane-translator_*.deb
# CPack stages the package's folders with the builder's umask: a strict one
# would ship folders that only root can read.
(umask 022 && cpack --preset package)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' build/package/CMakeCache.txt)
deb=build/package/orvane-translator_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "No $deb: the package has another name" >&2; exit 1; }

work=$(mktemp -d)
pids=()
installed=false
if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
# sudo would drop the variable from the environment; env passes it on.
as_root+=(env DEBIAN_FRONTEND=noninteractive)
cleanup() {
  if [ ${#pids[@]} -gt 0 ]; then kill "${pids[@]}" 2>/dev/null || true; fi
  # A check that failed half-way leaves nothing installed either.
  if $installed; then "${as_root[@]}" apt-get remove -y -q orvane-translator >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== lintian"
# Warnings fail the run as errors do: the ones kept are overridden in
# packaging/lintian-overrides, each with its reason.
lintian --fail-on error,warning "$deb"
dpkg-deb -x "$deb" "$work/root"
echo "== desktop-file-validate"
desktop-file-validate "$work/root/usr/share/applications/orvane-translator.desktop"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml

$install || { echo "Built and validated $deb"; exit 0; }

echo "== apt-get install"
# --reinstall: an installed package of the same version would otherwise
# be kept, and the checks below would check it instead.
"${as_root[@]}" apt-get install --reinstall -y -q "./$deb"
installed=true
dpkg-query -L orvane-translator >"$work/files"
[ "$(command -v orvane-translator)" = /usr/bin/orvane-translator ]
[ "$(command -v orvane-lng)" = /usr/bin/orvane-lng ]
version_text=$(orvane-translator --version)
echo "orvane-translator --version: $version_text"
orvane-lng --version
man -w orvane-translator orvane-lng

echo "== start from the menu's command"
menu_command=$(sed -n 's/^Exec=//p' /usr/share/applications/orvane-translator.desktop)
# The caption is "Orvane translator [v 1.00 (build 2)]" where --version
# says "Orvane translator v 1.00 (build 2)".
caption="${version_text%% v *} [v ${version_text#* v }]"
# Xvfb picks a free display itself and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1024x640x24 -nolisten tcp 3>"$work/display" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "The virtual display did not start" >&2; exit 1; }
DISPLAY=:$(cat "$work/display")
export DISPLAY
openbox >/dev/null 2>&1 &
pids+=($!)
# A window mapped while the window manager is still starting stays unmapped:
# the program starts once the manager announces itself.
for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
wmctrl -m >/dev/null 2>&1 || { echo "The window manager did not start" >&2; exit 1; }
(cd "$work" && exec $menu_command) &
program=$!
pids+=("$program")
caption_pattern=$(printf '%s' "$caption" | sed 's/[][().]/\\&/g')
window=$(timeout 30 xdotool search --sync --onlyvisible --name "^${caption_pattern}\$" | head -1) || true
[ -n "$window" ] || { echo "No window captioned \"$caption\"" >&2; exit 1; }
echo "Window captioned \"$caption\""
# Closed as the window manager closes it, the way a user does.
for _ in $(seq 100); do
  wmctrl -i -c "$window" 2>/dev/null || true
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
  echo "The program did not close when the window manager closed its window" >&2
  exit 1
fi
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || { echo "The program closed with exit code $status" >&2; exit 1; }
echo "Closed with exit code 0"

echo "== apt-get remove"
"${as_root[@]}" apt-get remove -y -q orvane-translator
installed=false
state=$(dpkg-query -W -f='${db:Status-Abbrev}' orvane-translator 2>/dev/null || true)
case "$state" in
  "" | un*) ;;
  *) echo "After removal dpkg still knows the package: $state" >&2; exit 1 ;;
esac
left=()
while IFS= read -r path; do
  [ -d "$path" ] || [ ! -e "$path" ] || left+=("$path")
done <"$work/files"
[ ${#left[@]} -eq 0 ] || { echo "Left behind: ${left[*]}" >&2; exit 1; }
echo "Installed, started, closed and removed $deb; nothing of it is left"
