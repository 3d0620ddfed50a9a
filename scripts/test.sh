#!/usr/bin/env bash
# Sets up, builds and runs every test: the native core tests (also under
# AddressSanitizer and UBSan), the fuzz corpus replay, and the Windows tests
# under 64-bit Wine on a virtual display. Builds the 32-bit program too.
# Ends with one line "N passed, N failed" over all test executables.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

scripts/setup.sh || { echo "setup failed"; exit 2; }

# build PRESET [TARGET...]: every target of the tree unless some are named.
build() {
  local preset=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --preset "$preset" >"build-$preset.log" 2>&1 &&
    cmake --build --preset "$preset" "${targets[@]}" >>"build-$preset.log" 2>&1
  local rc=$?
  if [ $rc -ne 0 ]; then
    grep -E -B2 -A12 'error|FAILED' "build-$preset.log" | head -n 80
    echo "build of $preset failed (see build-$preset.log)"
  fi
  return $rc
}

mkdir -p build
# The 32-bit tree builds the programs as shipped; its tests would only run
# under a 32-bit Wine, which this machine cannot run.
for tree in native win64 "win32 quillpad xqb"; do
  read -r -a preset <<<"$tree"
  echo "== building $tree"
  build "${preset[@]}" || { echo "0 passed, 1 failed"; exit 1; }
  mv "build-${preset[0]}.log" "build/${preset[0]}/build.log"
done

cleanup() {
  stop_wine
  stop_display
}
trap cleanup EXIT

start_display
start_wine "$PWD/build/win64"

failed_runs=0
for tree in native win64; do
  results="build/$tree/test-results"
  rm -rf "$results"
  mkdir -p "$results"
  echo "== testing $tree"
  ctest --test-dir "build/$tree" --output-on-failure --timeout 900 >"build/$tree/ctest.log" 2>&1
  grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|tests failed' "build/$tree/ctest.log"
  if grep -q -E 'Failed|Exception|Timeout|Not Run' "build/$tree/ctest.log"; then
    grep -E -A60 '(\*\*\*Failed|\*\*\*Exception|\*\*\*Timeout|Not Run)' "build/$tree/ctest.log" | head -n 150
  fi
  # An executable that died before writing its results counts as one failure.
  while read -r name; do
    [ -f "$results/$name.xml" ] || failed_runs=$((failed_runs + 1))
  done < <(ctest --test-dir "build/$tree" -N | sed -n 's/^ *Test *#[0-9]*: *//p')
done

passed=0
failed=$failed_runs
for xml in build/native/test-results/*.xml build/win64/test-results/*.xml; do
  [ -f "$xml" ] || continue
  root=$(grep -m1 '<testsuites ' "$xml")
  tests=$(sed -n 's/.* tests="\([0-9]*\)".*/\1/p' <<<"$root")
  failures=$(sed -n 's/.* failures="\([0-9]*\)".*/\1/p' <<<"$root")
  errors=$(sed -n 's/.* errors="\([0-9]*\)".*/\1/p' <<<"$root")
  disabled=$(sed -n 's/.* disabled="\([0-9]*\)".*/\1/p' <<<"$root")
  skipped=$(grep -c 'result="skipped"' "$xml")
  failed=$((failed + failures + errors))
  passed=$((passed + tests - failures - errors - disabled - skipped))
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
