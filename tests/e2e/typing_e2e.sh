#!/usr/bin/env bash
# A user's first look-up, from outside the program: start Quillpad on the
# display, type a word with the keyboard (xdotool), press Enter, and read
# the content pane back with pane_probe.exe.
set -u
source "$(dirname "$0")/e2e_lib.sh"
e2e_init typing_e2e "$1" "$2"

e2e_make_book 'apple\ta fruit\nbook\t[bUk]\\na set of written pages\nbookcase\tshelves for books\n' E2E

if e2e_start; then
  # The input box has the focus, its text (the first key) selected: typing
  # replaces it.
  xdotool type --delay 60 "book"
  xdotool key Return
  sleep 1
  e2e_expect_entry book "a set of written pages"
fi

e2e_stop
e2e_report TypingE2E TypeBookAndPressEnter
