#!/usr/bin/env bash
# Makes the shelf's books from Debian's open dictionary packages.
#
#   books/build.sh [-o|--out FOLDER] [--all | BOOK...]
#
# BOOK is a file name of the shelf (deflex_a.xqb, or deflex_a); without
# one, the two default books deflex_a.xqb and deflex_b.xqb are made, and
# --all makes every book of the shelf. The books go into FOLDER (default
# books-out/), each source's licence into FOLDER/licences/. Packages that
# are missing are installed with apt-get (as root, or through sudo).
#
# QUILL_BOOKS_BUILD names the native build tree that holds xqb and shelf
# (default build/native); it is configured and built when needed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=books-out
all=0
wanted=()
while (($#)); do
  case $1 in
    -o|--out) [ $# -ge 2 ] || { echo "build.sh: $1 needs a FOLDER" >&2; exit 2; }
        out=$2; shift 2 ;;
    --all) all=1; shift ;;
    -h|--help) sed -n '2,13s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) echo "build.sh: unknown option $1" >&2; exit 2 ;;
    *) wanted+=("${1%.xqb}.xqb"); shift ;;
  esac
done

build=${QUILL_BOOKS_BUILD:-$root/build/native}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# ---------------------------------------------------------------- recipes
# Per book file: the packages it is made from, then how its word list is
# made (shelf convert KIND INPUT...). The titles and categories live in the
# catalogue (books/shelf_table.h) alone.
dictd=/usr/share/dictd
misc=/usr/share/misc
lexicon=/usr/share/festival/dicts/cmu/cmudict-0.4.out
declare -A packages recipe
packages[deflex_a.xqb]="dict-wn festlex-cmu";   recipe[deflex_a.xqb]="deflex $dictd/wn.index $lexicon"
packages[gcide.xqb]="dict-gcide";               recipe[gcide.xqb]="dictd $dictd/gcide.index"
packages[eng_deu.xqb]="dict-freedict-eng-deu";  recipe[eng_deu.xqb]="dictd $dictd/freedict-eng-deu.index"
packages[deu_eng.xqb]="dict-freedict-deu-eng";  recipe[deu_eng.xqb]="dictd $dictd/freedict-deu-eng.index"
packages[jargon.xqb]="dict-jargon";             recipe[jargon.xqb]="dictd $dictd/jargon.index"
packages[vera.xqb]="dict-vera";                 recipe[vera.xqb]="dictd $dictd/vera.index"
packages[deflex_b.xqb]="dict-foldoc";           recipe[deflex_b.xqb]="dictd $dictd/foldoc.index"
packages[devil.xqb]="dict-devil";               recipe[devil.xqb]="dictd $dictd/devil.index"
packages[elements.xqb]="dict-elements";         recipe[elements.xqb]="dictd $dictd/elements.index"
packages[thesaurus.xqb]="mythes-en-us";         recipe[thesaurus.xqb]="thesaurus /usr/share/mythes/th_en_US_v2.dat"
packages[pronounce.xqb]="festlex-cmu";          recipe[pronounce.xqb]="pronounce $lexicon"
packages[eng_fra.xqb]="dict-freedict-eng-fra";  recipe[eng_fra.xqb]="dictd $dictd/freedict-eng-fra.index"
packages[eng_spa.xqb]="dict-freedict-eng-spa";  recipe[eng_spa.xqb]="dictd $dictd/freedict-eng-spa.index"
packages[countries.xqb]="miscfiles tzdata";     recipe[countries.xqb]="countries $misc/countries.gz /usr/share/zoneinfo/zone.tab"
packages[cities.xqb]="miscfiles";               recipe[cities.xqb]="cities $misc/cities.dat.gz"
packages[airports.xqb]="miscfiles";             recipe[airports.xqb]="airports $misc/airport.gz $misc/countries.gz"
packages[dialing.xqb]="miscfiles";              recipe[dialing.xqb]="dialing $misc/inter.phone.gz $misc/na.phone.gz"

# What a book's licence file says about how its text was changed.
declare -A changes
changes[deflex_a.xqb]="Each entry of WordNet whose head word the CMU pronouncing lexicon
knows starts with a line holding that word's pronunciation, converted from
the lexicon's ARPAbet phones to Quillpad's phonetic alphabet (books/arpabet.h)."
changes[pronounce.xqb]="The CMU pronouncing lexicon, one entry per word: the pronunciation
converted from ARPAbet to Quillpad's phonetic alphabet (books/arpabet.h),
then each pronunciation in ARPAbet with its syllables marked."

dictd_changes="Bytes that are not UTF-8 are read as Windows-1252. The articles of one
head word make one entry. A long article that several head words share is
kept with the word it is about; the others read \"See: WORD\". A first line
that is not a pronunciation but has \"[\" among its first six characters
starts with spaces, so that it is shown as text."

# ---------------------------------------------------------------- tools
if [ ! -f "$build/CMakeCache.txt" ]; then
  (cd "$root" && cmake --preset native -B "$build" >/dev/null)
fi
cmake --build "$build" --target xqb shelf >/dev/null
xqb=$build/tools/xqb
shelf=$build/books/shelf

declare -A title
rows=()
while IFS=$'\t' read -r category file name; do
  title[$file]=$name
  rows+=("$file")
  [ -n "${recipe[$file]:-}" ] || { echo "build.sh: no recipe for $file ($category)" >&2; exit 1; }
done < <("$shelf" catalogue)

if ((all)); then
  wanted=("${rows[@]}")
elif ((${#wanted[@]} == 0)); then
  wanted=(deflex_a.xqb deflex_b.xqb)
fi
for file in "${wanted[@]}"; do
  [ -n "${title[$file]:-}" ] || { echo "build.sh: $file is not a book of the shelf" >&2; exit 2; }
done

# ---------------------------------------------------------------- packages
source "$root/scripts/lib.sh"
needed=()
for file in "${wanted[@]}"; do
  # shellcheck disable=SC2206
  needed+=(${packages[$file]})
done
install_missing_packages build.sh "${needed[@]}"

# ---------------------------------------------------------------- books
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out/licences"

write_licences() {
  local file=$1 stem=${1%.xqb} text common
  text="$out/licences/$stem.txt"
  {
    echo "${title[$file]} ($file) is made from these Debian packages:"
    for p in ${packages[$file]}; do
      echo "  $p $(dpkg-query -W -f='${Version}' "$p")"
    done
    echo
    if [ -n "${changes[$file]:-}" ] || [[ ${recipe[$file]} == dictd* ]]; then
      echo "Changes made to the sources:"
      [ -z "${changes[$file]:-}" ] || echo "${changes[$file]}"
      [[ ${recipe[$file]} != d* ]] || echo "$dictd_changes"
      echo
    fi
    for p in ${packages[$file]}; do
      echo "======== $p: /usr/share/doc/$p/copyright"
      cat "/usr/share/doc/$p/copyright"
      echo
    done
  } >"$text.tmp"
  mv "$text.tmp" "$text"
  # The full texts of the licences the copyright files name by path.
  for common in $(grep -o '/usr/share/common-licenses/[A-Za-z0-9.+-]*' "$text" | sed 's/\.*$//' | sort -u); do
    if [ -f "$common" ]; then
      mkdir -p "$out/licences/common"
      cp "$common" "$out/licences/common/"
    fi
  done
}

for file in "${wanted[@]}"; do
  start=$SECONDS
  # shellcheck disable=SC2086  # the recipe is a word list on purpose
  "$shelf" convert ${recipe[$file]} -o "$work/${file%.xqb}.tsv"
  "$xqb" build "$work/${file%.xqb}.tsv" -o "$out/$file" --title "${title[$file]}" --cut
  rm -f "$work/${file%.xqb}.tsv"
  write_licences "$file"
  entries=$("$xqb" info "$out/$file" | sed -n 's/^entries: //p')
  echo "build.sh: $out/$file: \"${title[$file]}\", $entries entries, $((SECONDS - start)) s"
done
