#!/usr/bin/env bash
# dpi_run.sh BUILD SOURCE DPI: runs dpi_tests.exe in a Wine prefix of its own
# whose screen has DPI dots per inch (LogPixels), made once from nothing.
# 96 runs in the build tree's own prefix, which sets no LogPixels.
set -u
build=$1
source_dir=$2
dpi=$3
if [ "$dpi" != 96 ]; then
  export WINEPREFIX="$build/wineprefix-$dpi"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -p 2>/dev/null
  "$source_dir/scripts/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$dpi" /f >/dev/null
fi
QUILL_EXPECTED_DPI=$dpi "$source_dir/scripts/wine-run.sh" "$build/tests/dpi_tests.exe" \
  "--gtest_output=xml:test-results/dpi_tests_$dpi.xml"
rc=$?
[ "$dpi" != 96 ] && wineserver -k 2>/dev/null
exit $rc
