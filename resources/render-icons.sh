#!/usr/bin/env bash
# Re-renders every committed PNG under resources/ from its source, then checks them.
# This is a tool for whoever edits the artwork; the build uses the committed PNGs and never runs it.
#
#   ./render-icons.sh           render, then check
#   ./render-icons.sh --check   check only, e.g. after a PNG was touched by another program
#
# The application icon's 16 px size has its own pixel-exact source, because the master's
# thin shapes blur at that size. The button glyphs are XPM pixel maps: pure red (#FF0000) is
# their transparency key, so they are written as RGB without alpha and must hold no
# red-tinted in-between colours that a mask would leave visible.
set -euo pipefail
cd "$(dirname "$0")"

check_only=false
case "${1:-}" in
  --check) check_only=true ;;
  "") ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

icon_sizes=(16 32 48 64)
declare -A glyph_size=([open]=16x16 [save]=17x17)

ensure_tools() {
  local missing=()
  command -v rsvg-convert >/dev/null 2>&1 || missing+=(librsvg2-bin)
  # Another "convert" (GraphicsMagick's, or a stand-in) may come first on PATH.
  if ! { command -v convert >/dev/null 2>&1 && convert -version 2>/dev/null | grep -q ImageMagick; } ||
     ! command -v identify >/dev/null 2>&1 || ! command -v compare >/dev/null 2>&1; then
    missing+=(imagemagick)
  fi
  [ ${#missing[@]} -eq 0 ] && return 0
  if ! command -v apt-get >/dev/null 2>&1; then
    echo "Need ${missing[*]} (rsvg-convert, ImageMagick); install them and run again." >&2
    exit 1
  fi
  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { echo "Need ${missing[*]} and no sudo to install them." >&2; exit 1; }
    as_root=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

render() {
  local n src
  for n in "${icon_sizes[@]}"; do
    src=icons/orvane-translator.svg
    [ "$n" -eq 16 ] && src=icons/orvane-translator-16.svg
    rsvg-convert --width "$n" --height "$n" --keep-aspect-ratio --format png \
      --output "icons/orvane-translator-$n.png" "$src"
  done
  local g
  for g in "${!glyph_size[@]}"; do
    # PNG24 forces 8-bit RGB even for few colours; no dates, so an unchanged glyph stays byte-identical.
    convert "glyphs/$g.xpm" -strip -define png:exclude-chunks=date,time "PNG24:glyphs/$g.png"
  done
}

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok    $*"; }
fail() { failed=$((failed + 1)); echo "FAIL  $*"; }

# Prints "WIDTHxHEIGHT COLOURTYPE BITDEPTH"; PNG colour type 2 is RGB, 6 is RGB with alpha.
png_facts() {
  identify -format '%wx%h %[png:IHDR.color-type-orig] %[png:IHDR.bit-depth-orig]\n' "$1" 2>/dev/null | head -n 1
}

check_icon() {
  local n=$1 file="icons/orvane-translator-$1.png" facts
  [ -f "$file" ] || { fail "$file missing"; return; }
  facts=$(png_facts "$file")
  if [ "$facts" = "${n}x${n} 6 8" ]; then
    pass "$file ${n}x${n} RGBA 8-bit"
  else
    fail "$file is '$facts', want '${n}x${n} 6 8' (size, RGBA, 8-bit)"
  fi
}

check_glyph() {
  local g=$1 file="glyphs/$1.png" want=${glyph_size[$1]} facts diff reddish
  [ -f "$file" ] || { fail "$file missing"; return; }
  facts=$(png_facts "$file")
  if [ "$facts" = "$want 2 8" ]; then
    pass "$file $want RGB 8-bit, no alpha"
  else
    fail "$file is '$facts', want '$want 2 8' (size, RGB without alpha, 8-bit)"
  fi

  # Pixel-for-pixel equal to the map: nothing smoothed, scaled or recoloured on the way.
  diff=$(compare -metric AE "glyphs/$g.xpm" "$file" null: 2>&1 || true)
  if [ "$diff" = "0" ]; then
    pass "$file equals glyphs/$g.xpm pixel for pixel"
  else
    fail "$file differs from glyphs/$g.xpm in $diff pixels"
  fi

  # A colour where red clearly dominates, other than the key itself, is a blended edge (or a
  # drawn colour too close to the key) that would show as a red fringe once the key is masked.
  reddish=$(convert "$file" -unique-colors -depth 8 txt:- |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' |
    while read -r hex; do
      r=$((16#${hex:0:2})) gr=$((16#${hex:2:2})) b=$((16#${hex:4:2}))
      max_gb=$((gr > b ? gr : b))
      if [ "${hex^^}" != FF0000 ] && [ $((r - max_gb)) -ge 96 ]; then printf '#%s ' "${hex^^}"; fi
    done)
  if [ -z "$reddish" ]; then
    pass "$file holds no red-tinted colour besides the #FF0000 key"
  else
    fail "$file holds red-tinted colours: $reddish"
  fi
}

ensure_tools
$check_only || render
for n in "${icon_sizes[@]}"; do check_icon "$n"; done
for g in open save; do check_glyph "$g"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
