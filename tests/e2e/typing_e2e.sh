#!/usr/bin/env bash
# A user's first look-up, from outside the program: start Quillpad on the
# display, type a word with the keyboard (xdotool), press Enter, and read
# the content pane back with pane_probe.exe. Leaves its result as a
# GoogleTest-style XML file so that the test summary counts it.
set -u
build=$1
source_dir=$2
results="$build/test-results"
mkdir -p "$results"
install="$build/e2e-install"
rm -rf "$install"
mkdir -p "$install"
failures=0
message=""

fail() {
  failures=1
  message="$1"
  echo "typing_e2e: $1" >&2
}

run() { "$source_dir/scripts/wine-run.sh" "$@"; }

printf 'apple\ta fruit\nbook\t[bUk]\\na set of written pages\nbookcase\tshelves for books\n' \
  >"$install/words.tsv"
run "$build/tools/xqb.exe" build "$(winepath -w "$install/words.tsv")" \
  -o "$(winepath -w "$install/deflex_a.xqb")" --title "E2E" >/dev/null || fail "xqb build failed"

wine reg add 'HKLM\Software\Orvelle\Quillpad' /v InstallPath /t REG_SZ \
  /d "$(winepath -w "$install")" /f >/dev/null 2>&1
wine reg delete 'HKLM\Software\Orvelle\Quillpad' /v XQB_PATH /f >/dev/null 2>&1

wine "$build/shell/quillpad.exe" >/dev/null 2>&1 </dev/null &
program=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Orvelle Quillpad$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.2
done

if [ -z "$window" ]; then
  fail "the main window did not appear"
else
  sleep 1
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  # The input box has the focus, its text (the first key) selected: typing
  # replaces it.
  xdotool type --delay 60 "book"
  xdotool key Return
  sleep 1
  input=$(run "$build/tests/pane_probe.exe" --input)
  pane=$(run "$build/tests/pane_probe.exe")
  [ "$input" = "book" ] || fail "input box holds '$input', not 'book'"
  case "$pane" in
    *"a set of written pages"*) ;;
    *) fail "content pane shows '$pane'" ;;
  esac
  run "$build/tests/pane_probe.exe" --close >/dev/null
fi

for _ in $(seq 50); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.2
done
kill "$program" 2>/dev/null
# Leave no settings behind for whoever runs the program in this prefix next.
wine reg delete 'HKLM\Software\Orvelle\Quillpad' /f >/dev/null 2>&1

{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo "<testsuites tests=\"1\" failures=\"$failures\" disabled=\"0\" errors=\"0\" name=\"AllTests\">"
  echo "  <testsuite name=\"TypingE2E\" tests=\"1\" failures=\"$failures\" disabled=\"0\" errors=\"0\">"
  if [ "$failures" = 0 ]; then
    echo '    <testcase name="TypeBookAndPressEnter" status="run" result="completed" />'
  else
    echo '    <testcase name="TypeBookAndPressEnter" status="run" result="completed">'
    echo "      <failure message=\"$(printf '%s' "$message" | tr -d '<>&"')\" />"
    echo '    </testcase>'
  fi
  echo '  </testsuite>'
  echo '</testsuites>'
} >"$results/typing_e2e.xml"
exit "$failures"
