#!/usr/bin/env bash
# Makes the README's screenshots from the real program (the 64-bit build
# under Wine, on a virtual display) with the WordNet book:
#   docs/main-window.png   "book" looked up: its entry and phonetic strip
#   docs/find-panel.png    the find panel: every entry holding "lexicon"
#   docs/miss-note.png     "acurate", which WordNet lacks: what it offers
#   docs/dpi-96.png, docs/dpi-144.png, docs/dpi-192.png
#                          "book" again at 100%, 150% and 200% scaling
#   docs/chinese.png       a Chinese book at 150%: its keys in every control
#   docs/keyboard-focus.png  Tab, Tab from the input box: the focus in the shelf
#   docs/high-contrast.png "book" and the File menu under a high-contrast
#                          black theme (tests/high_contrast_demo.exe)
# Uses the books in build/win64/install, making the two default books there
# when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target quillpad >/dev/null
books="$PWD/build/win64/install"
[ -f "$books/deflex_a.xqb" ] || books/build.sh --out "$books" deflex_a deflex_b

start_display
trap 'stop_wine; stop_display' EXIT

# A Wine prefix for DPI (its own, but for 96), the books of FOLDER, no last
# book, and a window of a fixed place and size (in 96-DPI units).
prepare() {  # DPI FOLDER
  stop_wine
  if [ "$1" = 96 ]; then start_wine "$PWD/build/screenshots"; else start_wine "$PWD/build/screenshots-$1"; fi
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  local key='HKLM\Software\Orvelle\Quillpad'
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  wine reg add "$key" /v InstallPath /t REG_SZ /d "$(winepath -w "$2")" /f >/dev/null 2>&1
  for value in Pos_X:0 Pos_Y:0 Pos_Right:640 Pos_Bottom:440; do
    wine reg add "$key" /v "${value%%:*}" /t REG_DWORD /d "${value#*:}" /f >/dev/null 2>&1
  done
}
prepare 96 "$books"

probe() { wine build/win64/tests/pane_probe.exe "$@" 2>/dev/null </dev/null | tr -d '\r'; }
# Clicks at the screen point that pane_probe gives for ARGS.
click() {
  local point
  point=$(probe "$@")
  [ -n "$point" ] || { echo "screenshots: no point for $*" >&2; exit 1; }
  # shellcheck disable=SC2086
  xdotool mousemove --sync $point click 1
  sleep 0.5
}

look_up_book() {
  xdotool type --delay 80 book
  xdotool key Return
}

look_up_acurate() {
  xdotool type --delay 80 acurate
  xdotool key Return
}

find_lexicon() {
  click --button 1104
  click --control 116
  xdotool type --delay 80 lexicon
  xdotool key Return
  sleep 1
  click --row 0
}

# Starts the program, does STEPS (a function) and saves the window as FILE.
shoot() {  # FILE STEPS [PROGRAM]
  wine "${3:-build/win64/shell/quillpad.exe}" >/dev/null 2>&1 </dev/null &
  local program=$! window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Orvelle Quillpad$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "screenshots: the main window did not appear" >&2; exit 1; }
  sleep 1
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  "$2"
  sleep 1.5
  mkdir -p docs
  if [ -n "${SHOT_ROOT:-}" ]; then
    # What the window opened (a menu) is a window of its own: the screen's
    # pixels over the window's place.
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip "$1"
  else
    import -window "$window" -strip "$1"
  fi
  # Closed, so that the next start is a first instance again.
  probe --close >/dev/null
  wait "$program" || true
  echo "screenshots: $1"
}

look_up_chinese() {
  # xdotool maps each new character to a spare key first, and the first
  # press after such a change can be lost: type once, clear, type again.
  xdotool type --delay 120 "中"
  xdotool key BackSpace
  xdotool type --delay 120 "中"
  sleep 1
}

tab_to_the_shelf() {
  xdotool type --delay 80 book
  xdotool key Return
  xdotool key Tab
  xdotool key Tab
}

book_and_the_file_menu() {
  look_up_book
  sleep 0.5
  xdotool key alt+f
}

cmake --build --preset win64 --target pane_probe xqb high_contrast_demo >/dev/null
shoot docs/main-window.png look_up_book
shoot docs/find-panel.png find_lexicon
shoot docs/miss-note.png look_up_acurate
shoot docs/keyboard-focus.png tab_to_the_shelf
SHOT_ROOT=1 shoot docs/high-contrast.png book_and_the_file_menu build/win64/tests/high_contrast_demo.exe
for dpi in 96 144 192; do
  prepare "$dpi" "$books"
  shoot "docs/dpi-$dpi.png" look_up_book
done

# A book of Chinese keys, titled in Chinese.
chinese="$PWD/build/screenshots-chinese"
mkdir -p "$chinese"
printf '中文\tthe Chinese language; 中文字\n中国\tChina\n中心\tcentre, heart\n汉字\tChinese characters\nhouse\ta building; 房子\n' >"$chinese/chinese.tsv"
prepare 144 "$chinese"
wine build/win64/tools/xqb.exe build "$(winepath -w "$chinese/chinese.tsv")" \
  -o "$(winepath -w "$chinese/deflex_a.xqb")" --title "中文 Chinese" >/dev/null 2>&1
shoot docs/chinese.png look_up_chinese
