#!/usr/bin/env bash
# Sets up and builds Quillpad, then runs a first look-up in a small sample
# book with the xqb tool (the reader core the program is built on).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native --target xqb >/dev/null
xqb=build/native/tools/xqb
"$xqb" build books/sample/sample.tsv -o build/sample.xqb --title "Sample"
"$xqb" info build/sample.xqb
echo
"$xqb" lookup build/sample.xqb "${1:-book}"
