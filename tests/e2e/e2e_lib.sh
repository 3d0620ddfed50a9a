# What every end-to-end test shares: a book of its own made with xqb, the
# real program started on it under Wine, pane_probe.exe to look inside from
# outside, and a GoogleTest-style XML result so that the test summary counts
# it. Source it, then call e2e_init NAME BUILD SOURCE_DIR first.

# Sets up the result file and an empty installation folder for test NAME.
e2e_init() {
  e2e_name=$1
  build=$2
  source_dir=$3
  results="$build/test-results"
  mkdir -p "$results"
  install="$build/$e2e_name-install"
  rm -rf "$install"
  mkdir -p "$install"
  failures=0
  message=""
  program=""
  window=""
}

# Records a failure; the first one's message goes into the result.
fail() {
  [ "$failures" = 0 ] && message="$1"
  failures=1
  echo "$e2e_name: $1" >&2
}

run() { "$source_dir/scripts/wine-run.sh" "$@"; }
probe() { run "$build/tests/pane_probe.exe" "$@"; }

# e2e_make_book LINES TITLE [FILE]: makes FILE (deflex_a.xqb when not
# given) in the installation folder from tab-separated lines (printf format)
# and titles it TITLE.
e2e_make_book() {
  local file=${3:-deflex_a.xqb}
  printf "$1" >"$install/${file%.xqb}.tsv"
  run "$build/tools/xqb.exe" build "$(winepath -w "$install/${file%.xqb}.tsv")" \
    -o "$(winepath -w "$install/$file")" --title "$2" >/dev/null || fail "xqb build of $file failed"
}

# Starts the program with the installation folder registered and no last
# book, and waits for its window (in $window); 1 when it never appears.
e2e_start() {
  wine reg add 'HKLM\Software\Orvelle\Quillpad' /v InstallPath /t REG_SZ \
    /d "$(winepath -w "$install")" /f >/dev/null 2>&1
  wine reg delete 'HKLM\Software\Orvelle\Quillpad' /v XQB_PATH /f >/dev/null 2>&1
  wine "$build/shell/quillpad.exe" >/dev/null 2>&1 </dev/null &
  program=$!
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Orvelle Quillpad$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    fail "the main window did not appear"
    return 1
  fi
  sleep 1
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  return 0
}

# Clicks at the screen point that pane_probe printed for ARGS; 1 when it
# printed none.
e2e_click() {
  local point
  point=$(probe "$@" | tr -d '\r')
  if [ -z "$point" ]; then
    fail "no point for $*"
    return 1
  fi
  # shellcheck disable=SC2086
  xdotool mousemove --sync $point click 1
}

# Checks that the input box holds WORD and the content pane shows TEXT.
e2e_expect_entry() {
  local input pane
  input=$(probe --input)
  pane=$(probe)
  [ "$input" = "$1" ] || fail "input box holds '$input', not '$1'"
  case "$pane" in
    *"$2"*) ;;
    *) fail "content pane shows '$pane'" ;;
  esac
}

# Closes the program, and leaves no settings behind for whoever runs the
# program in this prefix next.
e2e_stop() {
  [ -n "$window" ] && probe --close >/dev/null
  for _ in $(seq 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
  done
  [ -n "$program" ] && kill "$program" 2>/dev/null
  wine reg delete 'HKLM\Software\Orvelle\Quillpad' /f >/dev/null 2>&1
}

# Writes the result as suite SUITE with one case CASE and exits with it.
e2e_report() {
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo "<testsuites tests=\"1\" failures=\"$failures\" disabled=\"0\" errors=\"0\" name=\"AllTests\">"
    echo "  <testsuite name=\"$1\" tests=\"1\" failures=\"$failures\" disabled=\"0\" errors=\"0\">"
    if [ "$failures" = 0 ]; then
      echo "    <testcase name=\"$2\" status=\"run\" result=\"completed\" />"
    else
      echo "    <testcase name=\"$2\" status=\"run\" result=\"completed\">"
      echo "      <failure message=\"$(printf '%s' "$message" | tr -d '<>&"')\" />"
      echo '    </testcase>'
    fi
    echo '  </testsuite>'
    echo '</testsuites>'
  } >"$results/$e2e_name.xml"
  exit "$failures"
}
