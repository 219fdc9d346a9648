#!/usr/bin/env bash
# Takes a screenshot of the running window, as a user would see it, on a
# virtual display with a window manager.
#
#   scripts/screenshot.sh [output]            the window at start
#                                             (docs/main-window.png)
#   scripts/screenshot.sh --session [output]  a Slovak translation under way,
#                                             opened and edited through the
#                                             real dialogs, with a Czech one
#                                             beside it, the find bar open and
#                                             a warning's tooltip
#                                             (docs/translation-session.png)
#   scripts/screenshot.sh --file-dialog [output]
#                                             the Open dialog of a Slovak user,
#                                             in the program's folder of
#                                             English sources
#                                             (docs/file-dialog-sk.png)
set -euo pipefail
cd "$(dirname "$0")/.."
session=false
file_dialog=false
program_locale=()
case ${1:-} in
  --session) session=true; shift; output=${1:-docs/translation-session.png} ;;
  --file-dialog) file_dialog=true; shift; output=${1:-docs/file-dialog-sk.png} ;;
  *) output=${1:-docs/main-window.png} ;;
esac

scripts/install-deps.sh fonts-wine xvfb xdotool imagemagick openbox x11-xserver-utils
cmake --preset default >/dev/null
cmake --build --preset default --target orvane-translator

work=$(mktemp -d)
display=:$((100 + RANDOM % 800))
Xvfb "$display" -screen 0 1024x640x24 -nolisten tcp &
pids=($!)
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

if $session; then
  # The files a Slovak translator has: the shipped English source and a
  # translation half done, both windows-1250 with CR LF, as on their disks.
  mkdir -p "$work/Farnel/Languages" "$work/Translations"
  iconv -f UTF-8 -t CP1250 scripts/session/en.utf8 | sed 's/$/\r/' >"$work/Farnel/Languages/en.lng"
  iconv -f UTF-8 -t CP1250 scripts/session/sk.utf8 | sed 's/$/\r/' >"$work/Translations/sk.lng"
  # A Czech translation beside it, which the source pane shows line by line.
  iconv -f UTF-8 -t CP1250 scripts/session/cs.utf8 | sed 's/$/\r/' >"$work/Translations/cs.lng"
  # A Slovak user: code page windows-1250.
  program_locale=(env LC_ALL= LC_CTYPE= LANG=sk_SK.UTF-8)
  export LC_ALL=C.UTF-8  # xdotool types the letters beyond ASCII
fi
if $file_dialog; then
  # The languages a program ships, and a Slovak user, whose dialogs should
  # speak Slovak: the toolkit's translations come with qt6-translations-l10n.
  scripts/install-deps.sh qt6-translations-l10n
  mkdir -p "$work/Farnel/Languages"
  for name in en sk cs; do
    iconv -f UTF-8 -t CP1250 "scripts/session/$name.utf8" | sed 's/$/\r/' >"$work/Farnel/Languages/$name.lng"
  done
  program_locale=(env -u LC_ALL -u LC_CTYPE -u LC_MESSAGES -u LANGUAGE LANG=sk_SK.UTF-8)
fi
"${program_locale[@]}" build/default/src/app/orvane-translator 2>/dev/null &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name 'Orvane translator' | head -1)
sleep 1  # let the maximised window settle and paint

if $session; then
  # Answers a dialog: waits for it, types a full path and confirms.
  answer() {
    xdotool search --sync --onlyvisible --name "^$1\$" >/dev/null
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 5 "$2"
    xdotool key Return
    sleep 0.5
  }
  xdotool mousemove --window "$window" 90 34 click 1  # the file kinds
  sleep 0.3
  xdotool key Down Return  # "[Farnel] - program interface"
  xdotool mousemove --window "$window" 40 80 click 1  # Open...
  answer 'Open' "$work/Farnel/Languages/en.lng"
  xdotool key Return  # "Please select your destination file."
  sleep 0.5
  answer 'Save As' "$work/Translations/sk.lng"
  # Translate one more entry: the row of "Copy", typed into the grid. Its
  # letters beyond ASCII get keys of their own first: xdotool would rebind
  # a spare key for each just before pressing it, and now and then drop one.
  xmodmap -e "keycode 200 = iacute" -e "keycode 201 = tcaron"
  xdotool mousemove --window "$window" 400 381 click 1
  sleep 0.3
  xdotool key ctrl+a
  xdotool type --delay 20 'Kopírovať'
  xdotool key ctrl+s
  sleep 0.5
  # Look for the invoice's texts: the find bar goes to the first hit, and
  # the pane shows its English and Czech.
  xdotool key ctrl+f
  sleep 0.3
  xdotool type --delay 20 'fakt'
  xdotool key Return
  sleep 0.5
  # The checks mark "mOpen" (its "&" is lost) and "mClose" (misspelled);
  # resting the mouse on a marked key shows what was found.
  xdotool mousemove --window "$window" 60 308
  sleep 1.5
fi

if $file_dialog; then
  xdotool mousemove --window "$window" 90 34 click 1  # the file kinds
  sleep 0.3
  xdotool key Down Return  # "[Farnel] - program interface"
  xdotool mousemove --window "$window" 40 80 click 1  # Open...
  dialog=$(xdotool search --sync --onlyvisible --name '^Open$' | head -1)
  sleep 0.5
  # A folder's path typed into the name field takes the dialog there.
  xdotool key ctrl+a
  xdotool type --delay 5 "$work/Farnel/Languages/"
  xdotool key Return
  sleep 1
  # The first click only closes the name field's completion list.
  xdotool mousemove --window "$dialog" 130 86 click 1
  sleep 0.3
  xdotool click 1  # en.lng
  sleep 0.5
fi

mkdir -p "$(dirname "$output")"
import -window root "$output"
echo "Saved $output"
