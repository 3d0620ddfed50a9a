#!/usr/bin/env bash
# Sets up and builds Quillpad, makes the books of its shelf (the first time;
# later runs reuse them), and starts the program (the 64-bit build, under
# Wine) with them. With a display it opens the window there; without one it
# runs on a virtual display for a few seconds and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

scripts/setup.sh
echo "== building"
for preset in native win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done

install_dir="$PWD/build/win64/install"
mkdir -p "$install_dir"
echo "== making the books into $install_dir"
if [ -x books/build.sh ]; then
  # Every book of the shelf, so that each item of the tree opens one; only
  # the missing ones are made.
  missing=()
  while IFS=$'\t' read -r _ file _; do
    [ -f "$install_dir/$file" ] || missing+=("$file")
  done < <(build/native/books/shelf catalogue)
  if ((${#missing[@]})); then books/build.sh --out "$install_dir" "${missing[@]}"; fi
else
  build/native/tools/xqb build books/sample/sample.tsv -o "$install_dir/deflex_a.xqb" --title "Sample"
fi

own_display=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  start_display
  own_display=1
fi
# A Wine prefix of its own, apart from the tests' one: what the program
# remembers between runs (the last book, the window's place) stays the
# user's.
start_wine "$PWD/build/run"
trap 'stop_wine; stop_display' EXIT

# The installation folder is where the installer would have put the books.
wine reg add 'HKLM\Software\Orvelle\Quillpad' /v InstallPath /t REG_SZ \
  /d "$(winepath -w "$install_dir")" /f >/dev/null 2>&1

if [ "$own_display" = 0 ]; then
  echo "== starting Quillpad on $DISPLAY"
  wine build/win64/shell/quillpad.exe
else
  echo "== starting Quillpad on a virtual display"
  wine build/win64/shell/quillpad.exe >/dev/null 2>&1 &
  sleep 8
  shot="$PWD/build/quillpad-screenshot.png"
  import -window root "$shot"
  echo "No display here: Quillpad ran on a virtual one; its screenshot is $shot"
fi
