#!/usr/bin/env bash
# Measures Quillpad's book core on WordNet (the deflex_a book) beside the
# tools a user would compare it with, in one run, and prints each figure
# with its comparison, the ratio and the target; with them what a miss
# offers, beside a plain scan of every key. Then the import of a large
# StarDict dictionary (XMLittre) beside gzip -9 of the same text and sdcv,
# and the memory that importing it and DSL WordNet takes.
#
#   bench/compare.sh [-o|--out FOLDER] [--keep-data] [--runs N]
#
# It installs what is missing (dict-wn and the other book sources, lz4 and
# its headers, hyperfine, sdcv, time, stardict-xmlittre and
# goldendict-wordnet) with apt-get, builds xqb and the
# benchmarks in the native build tree (QUILL_BOOKS_BUILD, default
# build/native), and makes its data in FOLDER (default build/compare):
# deflex_a.xqb through books/build.sh, its text as UTF-16 and as UTF-8, an
# lz4 file of the UTF-16 text, and the same dictionary as StarDict for sdcv
# (bench/bench_data). --keep-data reuses data made before. Not a test: it
# judges nothing by its exit code. The machine may be shared; figures of
# one run are compared with each other only.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$root/build/compare
keep=0
runs=30
while (($#)); do
  case $1 in
    -o|--out) [ $# -ge 2 ] || { echo "compare.sh: $1 needs a FOLDER" >&2; exit 2; }
        out=$2; shift 2 ;;
    --keep-data) keep=1; shift ;;
    --runs) [ $# -ge 2 ] || { echo "compare.sh: $1 needs a count" >&2; exit 2; }
        runs=$2; shift 2 ;;
    -h|--help) sed -n '2,21s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "compare.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
build=${QUILL_BOOKS_BUILD:-$root/build/native}
export QUILL_BOOKS_BUILD=$build

# ---------------------------------------------------------------- tools
# shellcheck source=../scripts/lib.sh
source "$root/scripts/lib.sh"
install_missing_packages compare.sh dict-wn lz4 liblz4-dev hyperfine sdcv time ripgrep \
  stardict-xmlittre goldendict-wordnet
# Configured again so that it finds lz4's headers if they just came.
(cd "$root" && cmake --preset native -B "$build" >/dev/null)
cmake --build "$build" --target xqb shelf bench_data compare_bench >/dev/null
xqb=$build/tools/xqb

# ---------------------------------------------------------------- data
mkdir -p "$out/dic/deflex_a"
out=$(cd "$out" && pwd)
book=$out/deflex_a.xqb
if ((!keep)) || [ ! -f "$book" ] || [ ! -f "$out/deflex_a.utf16.lz4" ]; then
  "$root/books/build.sh" -o "$out" deflex_a >/dev/null
  "$build/bench/bench_data" "$book" "$out" deflex_a >/dev/null
  lz4 -q -9 -f "$out/deflex_a.utf16" "$out/deflex_a.utf16.lz4"
  : >"$out/empty.tsv"
  "$xqb" build "$out/empty.tsv" -o "$out/empty.xqb"
  # sdcv keeps an offset cache beside the index on its first look-up.
  sdcv -n --data-dir "$out" book >/dev/null
fi

littre_ifo=/usr/share/stardict/dic/XMLittre.ifo
wordnet_dsl=/usr/share/goldendict-wordnet/goldendict-wordnet.dsl.dz
littre=$out/littre
if ((!keep)) || [ ! -f "$littre/littre.txt" ]; then
  rm -rf "$littre"
  mkdir -p "$littre/dic/XMLittre"
  # sdcv gets a copy, for the offset cache it keeps beside the index.
  cp /usr/share/stardict/dic/XMLittre.* "$littre/dic/XMLittre/"
  zcat "$littre/dic/XMLittre/XMLittre.dict.dz" >"$littre/littre.txt"
  sdcv -n --data-dir "$littre" maison >/dev/null
fi

# The whole shelf, for a find in every book: the run command's books when
# they are there, else made here; and their text as files for rg.
shelf=$root/build/win64/install
if [ "$(ls "$shelf"/*.xqb 2>/dev/null | wc -l)" -lt 17 ]; then
  shelf=$out/shelf
  mkdir -p "$shelf"
  if [ "$(ls "$shelf"/*.xqb 2>/dev/null | wc -l)" -lt 17 ]; then "$root/books/build.sh" -o "$shelf" --all >/dev/null; fi
fi
shelf_text=$out/shelf-text
if ((!keep)) || [ ! -d "$shelf_text" ]; then
  rm -rf "$shelf_text"
  mkdir -p "$shelf_text"
  for b in "$shelf"/*.xqb; do "$xqb" dump "$b" >"$shelf_text/$(basename "$b" .xqb).txt" 2>/dev/null || true; done
fi
shelf_mb=$(du -sm "$shelf_text" | cut -f1)

# ---------------------------------------------------------------- core
core=$("$build/bench/compare_bench" "$book" "$out/deflex_a.utf16")
figure() { awk -v k="$1" '$1 == k { print $2 }' <<<"$core"; }

# ---------------------------------------------------------------- processes
json=$out/hyperfine.json
hyperfine -N -i --warmup 3 --runs "$runs" --export-json "$json" \
  "$xqb find $book zqxjkv" \
  "lz4 -d -c $out/deflex_a.utf16.lz4" \
  "grep -c -i -F zqxjkv $out/deflex_a.utf8" \
  "$xqb lookup $book book" \
  "sdcv -n --data-dir $out book" \
  "$xqb find $shelf zqxjkv" \
  "rg -F -i -c zqxjkv $shelf_text" \
  "$xqb find $shelf zqxjkv --threads 1" >/dev/null
# Median wall time and mean user + system time of each command, in ms.
times=$(python3 - "$json" <<'EOF'
import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    print("%.2f %.2f" % (r["median"] * 1e3, (r["user"] + r["system"]) * 1e3))
EOF
)
nth() { sed -n "$1p" <<<"$times" | cut -d' ' -f"$2"; }

# The smallest of a few runs: the least disturbed by other work.
max_rss() {
  local best= kb
  for _ in 1 2 3 4 5; do
    /usr/bin/time -f %M -o "$out/rss.txt" "$@" >/dev/null 2>&1 || true
    kb=$(tail -1 "$out/rss.txt")
    if [ -z "$best" ] || [ "$kb" -lt "$best" ]; then best=$kb; fi
  done
  echo "$best"
}
rss_book=$(max_rss "$xqb" lookup "$book" book)
rss_empty=$(max_rss "$xqb" lookup "$out/empty.xqb" book)
rss_sdcv=$(max_rss sdcv -n --data-dir "$out" book)
# A find over the shelf may hold the books its two workers have mapped and
# 16 MiB each beside them, above what xqb takes for an empty book.
rss_shelf=$(max_rss "$xqb" find "$shelf" zqxjkv)
budget_shelf=$(( $(ls -l "$shelf"/*.xqb | awk '{print $5}' | sort -n | tail -2 | awk "{ s += \$1 } END { print s }") / 1024 + 2 * 16384 ))
info=$("$xqb" info "$book")
field() { sed -n "s/^$1: //p" <<<"$info" | cut -d' ' -f1; }
entries=$(field entries)
blocks=$(field blocks)
max_block=$(field maxBlockSize)
budget_kb=$(( (entries * 8 + blocks * 8 + 2 * max_block) / 1024 + 4096 ))

# ---------------------------------------------------------------- import
# Long runs: a few of each, one after the other, so that both meet the same
# load. XMLittre has articles past the format's limit, which go on in
# entries of the same key.
littre_json=$out/littre.json
hyperfine -N -i --runs 3 --export-json "$littre_json" \
  "$xqb build $littre_ifo -o $littre/littre.xqb" \
  "gzip -9 -c $littre/littre.txt" \
  "$xqb lookup $littre/littre.xqb maison" \
  "sdcv -n --data-dir $littre maison" >/dev/null 2>&1
littre_times=$(python3 - "$littre_json" <<'EOF2'
import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    print("%.3f" % (r["median"] * 1e3))
EOF2
)
lt() { sed -n "$1p" <<<"$littre_times"; }
# The decoded text of a book, in bytes: what its entries take in memory.
decoded() { "$xqb" info "$1" | sed -n 's|^stored/decoded: [0-9]*/\([0-9]*\) bytes.*|\1|p'; }
build_rss() {
  /usr/bin/time -f %M -o "$out/rss.txt" "$xqb" build "$@" >/dev/null 2>&1 || true
  tail -1 "$out/rss.txt"
}
rss_littre=$(build_rss "$littre_ifo" -o "$littre/littre.xqb")
littre_split=$("$xqb" build "$littre_ifo" -o "$littre/littre.xqb" 2>&1 |
  sed -n 's/.*: \([0-9]*\) contents\{0,1\} longer than.*/\1/p')
budget_littre=$(( $(decoded "$littre/littre.xqb") / 1024 + 65536 ))
rss_wordnet=$(build_rss "$wordnet_dsl" -o "$out/wordnet.xqb")
budget_wordnet=$(( $(decoded "$out/wordnet.xqb") / 1024 + 65536 ))
littre_size=$(stat -c %s "$littre/littre.xqb")

# ---------------------------------------------------------------- report
python3 - <<EOF
rows = [
    # what, ours, unit, comparison name, theirs, ratio target (ours/theirs), better
    ("decoding in memory", $(figure decode_mb_s), "MB/s",
     "lz4 -9 in memory, same text", $(figure lz4_decode_mb_s), 0.4, "higher"),
    ("xqb find, absent term", $(nth 1 1), "ms",
     "lz4 -d of the same text", $(nth 2 1), 2.0, "lower"),
    ("xqb lookup", $(nth 4 1), "ms", "sdcv -n, same dictionary", $(nth 5 1), 1.0, "lower"),
    ("max RSS of xqb lookup above an empty book", $rss_book - $rss_empty, "KiB",
     "budget: both indexes + 2 blocks + 4 MiB", $budget_kb, 1.0, "lower"),
    ("xqb build XMLittre", $(lt 1), "ms", "gzip -9 of the same text", $(lt 2), 1.0, "lower"),
    ("max RSS of xqb build XMLittre", $rss_littre, "KiB", "decoded UTF-16 + 64 MiB",
     $budget_littre, 1.0, "lower"),
    ("max RSS of xqb build DSL WordNet", $rss_wordnet, "KiB", "decoded UTF-16 + 64 MiB",
     $budget_wordnet, 1.0, "lower"),
    ("xqb lookup on XMLittre", $(lt 3), "ms", "sdcv -n on XMLittre", $(lt 4), 1.0, "lower"),
    ("xqb find, absent term, 17 shelf books", $(nth 6 1), "ms",
     "rg -F -i over their text (%d MB)" % $shelf_mb, $(nth 7 1), 7.0, "lower"),
    ("max RSS of that find above an empty book", $rss_shelf - $rss_empty, "KiB",
     "budget: 2 largest books + 2 x 16 MiB", $budget_shelf, 1.0, "lower"),
]
print("%-42s %12s   %-40s %12s %7s  %s" % ("Quillpad", "", "compared with", "", "ratio", "target"))
for what, ours, unit, name, theirs, target, better in rows:
    ratio = ours / theirs
    met = ratio >= target if better == "higher" else ratio <= target
    sign = ">=" if better == "higher" else "<="
    print("%-42s %8.1f %-4s %-40s %8.1f %-4s %6.2fx  %s %.1fx: %s" % (
        what, ours, unit, name, theirs, unit, ratio, sign, target, "met" if met else "NOT MET"))
# A miss's offers on the keys at hand, beside measuring every key.
offers_median, offers_worst = $(figure offers_median_ms), $(figure offers_worst_ms)
plain = $(figure plain_scan_median_ms)
print("%-42s %8.3f %-4s %-40s %8.3f %-4s %6.2fx  <= 1 ms: %s" % (
    "offers for a misspelling (median)", offers_median, "ms", "plain scan, every key, same bound",
    plain, "ms", offers_median / plain, "met" if offers_median <= 1 else "NOT MET"))
print("%-42s %8.3f %-4s %-40s %13s %6s   <= 5 ms: %s" % (
    "offers for a misspelling (worst)", offers_worst, "ms", "", "", "",
    "met" if offers_worst <= 5 else "NOT MET"))
collect, decode_once = $(figure collect_keys_ms), $(figure decode_book_ms)
print("%-42s %8.1f %-4s %-40s %8.1f %-4s %6.2fx  <= 1.5x: %s" % (
    "collecting every key", collect, "ms", "decoding the whole book once", decode_once, "ms",
    collect / decode_once, "met" if collect / decode_once <= 1.5 else "NOT MET"))
keys_mb = $(figure keys_bytes) / 1048576
print("%-42s %8.2f %-4s %-40s %13s %6s   <= 8 MiB: %s" % (
    "memory of the keys at hand", keys_mb, "MiB", "", "", "", "met" if keys_mb <= 8 else "NOT MET"))
fw = $(figure findword_median_us)
print("%-42s %8.1f %-4s %-40s %13s %6s   <= 20 us: %s" % (
    "FindWord, keys of the book (median)", fw, "us", "(first look-up after opening: %.1f us)"
    % $(figure findword_first_us), "", "", "met" if fw <= 20 else "NOT MET"))
print()
print("core, in this process: absent-term scan %.1f ms, open %.2f ms, %.1f MB decoded;"
      % ($(figure scan_ms), $(figure open_ms), $(figure decoded_mb)))
print("FindWord key cache at most %d KiB; whole processes (user + system ms): xqb find %s,"
      % ($(figure findword_cache_bytes) / 1024, "$(nth 1 2)"))
print("lz4 -d %s, grep -c -i -F on the UTF-8 text %s (median %s ms), xqb lookup %s, sdcv %s;"
      % ("$(nth 2 2)", "$(nth 3 2)", "$(nth 3 1)", "$(nth 4 2)", "$(nth 5 2)"))
print("find over the shelf on one core: %s ms (both cores: %s ms; user + system %s ms)."
      % ("$(nth 8 1)", "$(nth 6 1)", "$(nth 6 2)"))
print("max RSS: xqb lookup %d KiB, on an empty book %d KiB, sdcv %d KiB."
      % ($rss_book, $rss_empty, $rss_sdcv))
print("XMLittre: book of %d bytes; %s contents over the format's limit go on in entries"
      " of the same key." % ($littre_size, "${littre_split:-0}"))
EOF
