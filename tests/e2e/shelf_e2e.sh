#!/usr/bin/env bash
# Switching books with the shelf, from outside the program: start Quillpad
# on three small books of its own, named and titled as the shelf names them,
# click "FOLDOC Computing", then "Jargon File", then the current-book item
# with the mouse, and read the status bar and the content pane back with
# pane_probe.exe after each click.
set -u
source "$(dirname "$0")/e2e_lib.sh"
e2e_init shelf_e2e "$1" "$2"

e2e_make_book 'abacus\ta frame with beads\nbook\ta set of written pages\n' "WordNet English"
e2e_make_book 'ABEND\tABnormal END\nbit\tbinary digit\n' "FOLDOC Computing" deflex_b.xqb
e2e_make_book 'ack\tacknowledge\nhacker\tone who enjoys programming\n' "Jargon File" jargon.xqb

# pick ROW TITLE KEY TEXT: clicks the tree's visible row ROW and expects
# the book TITLE open at its first entry KEY, which shows TEXT.
pick() {
  e2e_click --tree-row "$1" || return
  sleep 1
  local status
  status=$(probe --status)
  [ "$status" = "$2" ] || fail "after clicking row $1 the status bar shows '$status', not '$2'"
  e2e_expect_entry "$3" "$4"
  if xdotool search --name '^ERROR$' >/dev/null 2>&1; then fail "an error box came up"; fi
}

if e2e_start; then
  status=$(probe --status)
  [ "$status" = "WordNet English" ] || fail "the first book is '$status'"
  # Visible rows: 0 BookShelf, 1 Dictionary and its 4 books, 6 Professional,
  # 7 Jargon File, 8 Computer Acronyms, 9 FOLDOC Computing, 10 Learning,
  # 11 Life, 12 the current book.
  pick 9 "FOLDOC Computing" ABEND "ABnormal END"
  pick 7 "Jargon File" ack acknowledge
  pick 12 "WordNet English" abacus "a frame with beads"
fi

e2e_stop
e2e_report ShelfE2E ClickShelfBooksAndTheCurrentBook
