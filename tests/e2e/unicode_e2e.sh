#!/usr/bin/env bash
# Any script, typed for real: a Greek word typed with the keyboard
# (xdotool), Enter, and the Greek and Cyrillic entry read back from outside
# in UTF-16. Run once with the machine's code page and once (see
# tests/CMakeLists.txt) with Wine on a Cyrillic one, where Greek is outside
# the code page too; that locale must exist on the machine (scripts/setup.sh
# makes it), or the tools around Wine cannot pass Greek on.
set -u
source "$(dirname "$0")/e2e_lib.sh"
e2e_init "${QUILL_E2E_NAME:-unicode_e2e}" "$1" "$2"

e2e_make_book 'house\t[hˈaʊs]\\nσπίτι (το χτίριο), οίκος, στεγάζω\nσπίτι\t[ˈspiti]\\nhouse, home; дом\nдом\tздание, жилище\n' 'Ελληνικά'

# With QUILL_WINE_CODE_PAGE the run has a Wine prefix of its own (WINEPREFIX,
# made once under LANG), whose programs get that code page.
if [ -n "${QUILL_WINE_CODE_PAGE:-}" ]; then
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  acp=$(probe --code-page | tr -d '\r')
  [ "$acp" = "$QUILL_WINE_CODE_PAGE" ] || fail "Wine gave code page '$acp', not $QUILL_WINE_CODE_PAGE"
fi

if e2e_start; then
  # xdotool maps each new character to a spare key first, and the first
  # press after such a change can be lost: type the word once to set the
  # keys up, then select the box's text and type it again.
  xdotool type --delay 80 "σπίτι"
  xdotool key End shift+Home
  xdotool type --delay 80 "σπίτι"
  xdotool key Return
  sleep 1
  e2e_expect_entry "σπίτι" "house, home; дом"
  status=$(probe --status)
  [ "$status" = "Ελληνικά" ] || fail "status bar shows '$status'"
fi

e2e_stop
[ -n "${QUILL_WINE_CODE_PAGE:-}" ] && wineserver -k 2>/dev/null
e2e_report UnicodeE2E "${QUILL_E2E_CASE:-TypeAGreekWordAndPressEnter}"
