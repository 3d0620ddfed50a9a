#!/usr/bin/env bash
# Runs a Windows executable of a build tree under 64-bit Wine, in that build
# tree's own Wine prefix (WINEPREFIX, when set, wins).
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
exec wine "$exe" "$@"
