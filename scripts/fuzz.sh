#!/usr/bin/env bash
# Fuzzes every reader beyond its corpus: each libFuzzer target runs SECONDS
# (default 300) on a copy of its corpus, as many at a time as there are
# cores. What a target finds is kept in build/fuzz/findings/ and the run
# ends with status 1; new inputs it kept are left in build/fuzz/NAME/ for
# whoever wants to add the useful ones to fuzz/corpus/NAME.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(decode open_book offers tsv dictd stardict dsl markup format_content shelf_sources)
fi

scripts/setup.sh || { echo "setup failed"; exit 2; }
if ! { cmake --preset native >/dev/null && cmake --build --preset native --target fuzzers >build-fuzz.log 2>&1; }; then
  tail -n 40 build-fuzz.log
  echo "building the fuzz targets failed (see build-fuzz.log)"
  exit 2
fi
rm -f build-fuzz.log

out=build/fuzz
mkdir -p "$out/findings"
jobs=$(nproc)
status=0
running=0
run_one() {  # NAME
  local name=$1 work="$out/$1"
  mkdir -p "$work"
  cp -n fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  if build/native/fuzzers/"${name}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$out/findings/$name-" "$work" >"$out/$name.log" 2>&1; then
    echo "$name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$out/$name.log" |
                   grep -o '[0-9]*$') inputs, nothing found"
  else
    echo "$name: FOUND something (see $out/$name.log and $out/findings/)"
    return 1
  fi
}

for name in "${targets[@]}"; do
  run_one "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
