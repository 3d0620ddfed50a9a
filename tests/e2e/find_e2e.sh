#!/usr/bin/env bash
# The find panel from outside the program: press Find View with the mouse,
# type a word into the find box, press Enter, read the result rows back with
# pane_probe.exe, click a row, and read the content pane that shows it.
set -u
source "$(dirname "$0")/e2e_lib.sh"
e2e_init find_e2e "$1" "$2"

e2e_make_book 'apple\ta fruit\nbook\t[bUk]\\na set of written pages\nbookcase\tshelves for books\nzebra\tstripes\n' E2E

if e2e_start && e2e_click --button 1104; then
  sleep 0.5
  e2e_click --control 116
  xdotool type --delay 60 "book"
  xdotool key Return
  sleep 1
  # Every entry holding the word, the one nearest the end of the book first.
  rows=$(probe --rows | tr -d '\r')
  [ "$rows" = $'bookcase\nbook' ] || fail "find rows are '$rows'"
  e2e_click --row 1
  sleep 1
  e2e_expect_entry book "a set of written pages"
fi

e2e_stop
e2e_report FindE2E FindViewSearchAndPickARow
