#!/usr/bin/env bash
# Makes the shelf's books from the real packages (books/build.sh, same
# arguments) and checks each one the way a reader meets it: it opens, it
# has the number of entries its sources give, and a few known words are
# found with the text they should show.
#
#   books/check.sh [-o|--out FOLDER] [--all | BOOK...]
#
# Ends with "N passed, N failed" over all checks. The counts are those of
# Debian 12's packages; a newer package that changes them fails here first.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=books-out
args=("$@")
all=0
wanted=()
while (($#)); do
  case $1 in
    -o|--out) out=${2:-}; shift; shift || true ;;
    --all) all=1; shift ;;
    -*) shift ;;
    *) wanted+=("${1%.xqb}.xqb"); shift ;;
  esac
done

"$root/books/build.sh" "${args[@]}" || { echo "0 passed, 1 failed"; exit 1; }
build=${QUILL_BOOKS_BUILD:-$root/build/native}
xqb=$build/tools/xqb
shelf=$build/books/shelf

# Per book: its entry count, then words to look up, each with a text that
# must stand in what the lookup shows ("WORD=TEXT"; ^TEXT must start the
# content, the line after the key).
declare -A entries lookups
entries[deflex_a.xqb]=147306
lookups[deflex_a.xqb]='book=^[bUk]|book=a written work or composition that has been published|record=^['"'"'r9k6d]|book of account=^book of account|abacus=a calculator that performs arithmetic functions'
entries[gcide.xqb]=176957
lookups[gcide.xqb]='book=^Book \Book\ (b[oo^]k), n.|wine press=^Wine press|zymotic=Of, pertaining to, or caused by'
entries[eng_deu.xqb]=367744
lookups[eng_deu.xqb]='book=Buch|dog=Hund'
entries[deu_eng.xqb]=382832
lookups[deu_eng.xqb]='Buch=book|Hund=dog'
entries[jargon.xqb]=2306
lookups[jargon.xqb]='hacker=^hacker|kludge=kludge'
entries[vera.xqb]=9410
lookups[vera.xqb]='RAM=Random Access Memory'
entries[deflex_b.xqb]=14995
lookups[deflex_b.xqb]='compiler=A program that converts another program|[incr Tcl]=^      [incr Tcl]'
entries[devil.xqb]=999
lookups[devil.xqb]='cynic=A blackguard whose faulty vision sees things as they are'
entries[elements.xqb]=137
lookups[elements.xqb]='gold=Symbol: Au|gold=Atomic number: 79'
entries[thesaurus.xqb]=145866
lookups[thesaurus.xqb]='happy=(adj) felicitous, fortunate (similar term)'
entries[pronounce.xqb]=105664
lookups[pronounce.xqb]='record=^['"'"'r9k6d]|record=verb: R AX0 - K AO1 R D|book=^[bUk]'
entries[eng_fra.xqb]=8763
lookups[eng_fra.xqb]='book=livre'
entries[eng_spa.xqb]=5082
lookups[eng_spa.xqb]='house=casa'
entries[countries.xqb]=461
lookups[countries.xqb]='France=Capital: Paris|Paris=Capital of France'
entries[cities.xqb]=491
lookups[cities.xqb]='Aberdeen=Region: Scotland'
entries[airports.xqb]=915
lookups[airports.xqb]='CDG=Country: France (FR)'
entries[dialing.xqb]=2474
lookups[dialing.xqb]='Egypt=Country calling code: +20|212=Morocco'

passed=0
failed=0
check() {  # check DESCRIPTION CONDITION...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

contains() { [[ "$1" == *"$2"* ]]; }
found() { [[ "$1" == "found "* ]]; }

if ((all)); then
  wanted=()
  while IFS=$'\t' read -r _ file _; do wanted+=("$file"); done < <("$shelf" catalogue)
elif ((${#wanted[@]} == 0)); then
  wanted=(deflex_a.xqb deflex_b.xqb)
fi

for file in "${wanted[@]}"; do
  book=$out/$file
  [ -n "${entries[$file]:-}" ] || { echo "FAILED: nothing known of $file"; failed=$((failed + 1)); continue; }
  info=$("$xqb" info "$book" 2>&1)
  check "$file opens" test $? -eq 0
  check "$file has ${entries[$file]} entries" contains "$info" "entries: ${entries[$file]}"$'\n'
  check "$file has its licence" test -s "$out/licences/${file%.xqb}.txt"
  IFS='|' read -r -a words <<<"${lookups[$file]}"
  for pair in "${words[@]}"; do
    word=${pair%%=*}
    text=${pair#*=}
    shown=$("$xqb" lookup "$book" "$word" 2>&1)
    check "$file finds \"$word\"" found "$shown"
    content=$(sed -n '3,$p' <<<"$shown")
    if [ "${text:0:1}" = "^" ]; then
      check "$file \"$word\" starts with \"${text:1}\"" test "${content:0:${#text}-1}" = "${text:1}"
    else
      check "$file \"$word\" shows \"$text\"" contains "$content" "$text"
    fi
  done
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
