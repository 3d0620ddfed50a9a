#!/usr/bin/env bash
# Runs a Windows executable of a build tree under 64-bit Wine, in that build
# tree's own Wine prefix (WINEPREFIX, when set, wins), and passes its output
# and exit code on.
set -u
exe=$1
shift
if [ -z "${WINEPREFIX:-}" ]; then
  root=$(cd "$(dirname "$exe")" && pwd)
  while [ "$root" != / ] && [ ! -f "$root/CMakeCache.txt" ]; do root=$(dirname "$root"); done
  export WINEPREFIX="$root/wineprefix"
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: there is nothing to download them from, and their
# install prompts would wait for a click that never comes.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine's own services (explorer, winedevice) may start with this process and
# outlive it; they must not inherit the caller's output pipe, or whoever
# reads it (CTest) would wait for them. So the output goes through a file.
out=$(mktemp)
wine "$exe" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
