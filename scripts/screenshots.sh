#!/usr/bin/env bash
# Makes the README's screenshots from the real program (the 64-bit build
# under Wine, on a virtual display) with the WordNet book:
#   docs/main-window.png   "book" looked up: its entry and phonetic strip
#   docs/word-list.png     "read" typed: the word list following the typing
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
start_wine "$PWD/build/screenshots"
trap 'stop_wine; stop_display' EXIT

# The books' folder, no last book, and a window of a fixed place and size.
key='HKLM\Software\Orvelle\Quillpad'
wine reg delete "$key" /f >/dev/null 2>&1 || true
wine reg add "$key" /v InstallPath /t REG_SZ /d "$(winepath -w "$books")" /f >/dev/null 2>&1
for value in Pos_X:0 Pos_Y:0 Pos_Right:640 Pos_Bottom:440; do
  wine reg add "$key" /v "${value%%:*}" /t REG_DWORD /d "${value#*:}" /f >/dev/null 2>&1
done

# Starts the program, types TEXT (and presses KEY, if given), and saves the
# window as FILE.
shoot() {  # FILE TEXT [KEY]
  wine build/win64/shell/quillpad.exe >/dev/null 2>&1 </dev/null &
  local program=$! window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Orvelle Quillpad$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "screenshots: the main window did not appear" >&2; exit 1; }
  sleep 1
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool type --delay 80 "$2"
  [ -z "${3:-}" ] || xdotool key "$3"
  sleep 1.5
  mkdir -p docs
  import -window "$window" -strip "$1"
  # Closed, so that the next start is a first instance again.
  wine build/win64/tests/pane_probe.exe --close >/dev/null 2>&1 </dev/null
  wait "$program" || true
  echo "screenshots: $1"
}

cmake --build --preset win64 --target pane_probe >/dev/null
shoot docs/main-window.png book Return
shoot docs/word-list.png read
