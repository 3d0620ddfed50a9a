#!/usr/bin/env bash
# A user's install, from a Wine prefix made fresh for this run: the 64-bit
# installer installs silently into a folder given with /D=, the program
# starts from the Start-menu shortcut and shows WordNet's first entry, an
# upgrade over it keeps the user's settings, and the uninstaller takes away
# what was installed. The shipped 32-bit installer is made too and its
# payload looked at. Leaves its results as a GoogleTest-style XML file so
# that the test summary counts them.
#   install_e2e.sh BUILD_TREE SOURCE_DIR
set -u
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
results="$build/test-results"
work="$build/install-e2e"
native="$(dirname "$build")/native"
mkdir -p "$results"
start_time=$SECONDS

# ---------------------------------------------------------------- results
cases=()
declare -A failure
current=""
begin() {
  echo "install_e2e: $1 (at $((SECONDS - start_time)) s)"
  current=$1
  cases+=("$1")
  failure[$1]=""
}
fail() {
  echo "install_e2e: $current: $1" >&2
  failure[$current]+="$1; "
}
expect_eq() {  # WHAT ACTUAL EXPECTED
  [ "$2" = "$3" ] || fail "$1 is '$2', not '$3'"
}
write_results() {
  local failed=0 name
  for name in "${cases[@]}"; do [ -z "${failure[$name]}" ] || failed=$((failed + 1)); done
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo "<testsuites tests=\"${#cases[@]}\" failures=\"$failed\" disabled=\"0\" errors=\"0\" name=\"AllTests\">"
    echo "  <testsuite name=\"InstallE2E\" tests=\"${#cases[@]}\" failures=\"$failed\" disabled=\"0\" errors=\"0\">"
    for name in "${cases[@]}"; do
      if [ -z "${failure[$name]}" ]; then
        echo "    <testcase name=\"$name\" status=\"run\" result=\"completed\" />"
      else
        echo "    <testcase name=\"$name\" status=\"run\" result=\"completed\">"
        echo "      <failure message=\"$(printf '%s' "${failure[$name]}" | tr -d '<>&"')\" />"
        echo '    </testcase>'
      fi
    done
    echo '  </testsuite>'
    echo '</testsuites>'
  } >"$results/install_e2e.xml"
  echo "install_e2e: ${#cases[@]} cases, $failed failed, $((SECONDS - start_time)) s"
  return "$failed"
}

# ---------------------------------------------------------------- helpers
# The PE machine of a Windows executable: 14c for i386, 8664 for x86-64.
pe_machine() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}
# A PE file's time stamp, in seconds since 1970.
pe_time_stamp() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tu4 -j$((header + 8)) -N4 "$1" | tr -d ' '
}
# A registry value's data as reg.exe prints it; VIEW is 32 or 64.
reg_value() {  # KEY VALUE VIEW
  wine reg query "$1" /v "$2" "/reg:$3" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 \{4\}REG_[A-Z_]* \{4\}//p"
}
reg_has_key() {  # KEY VIEW
  wine reg query "$1" "/reg:$2" >/dev/null 2>&1
}
# pane_probe's output without CRs, and its exit code.
probe() {
  local out rc
  out=$(wine "$build/tests/pane_probe.exe" "$@" 2>/dev/null </dev/null)
  rc=$?
  printf '%s' "${out//$'\r'/}"
  return "$rc"
}
# Waits up to 20 s for the main window; fails the case when it stays away.
wait_for_window() {
  for _ in $(seq 60); do
    probe --input >/dev/null && return 0
    sleep 0.3
  done
  fail "the main window did not appear"
  return 1
}
# Closes the program and waits until its window is gone (its settings are
# stored by then).
close_program() {
  probe --close >/dev/null
  for _ in $(seq 60); do
    probe --input >/dev/null || return 0
    sleep 0.3
  done
  fail "the program did not end"
}
# Runs an installer the way a user types it: /D= last and unquoted, even
# with spaces in the folder. Its exit code is the installer's.
run_installer() {  # INSTALLER ARGUMENTS...
  local exe
  exe=$(winepath -w "$1")
  shift
  wine cmd /c "$exe $*" </dev/null >/dev/null 2>&1
}

# ---------------------------------------------------------------- packaging
begin MakesBothInstallers
mapfile -t installers < <("$source_dir/scripts/package.sh" --quick)
setup32=${installers[0]:-}
setup64=${installers[1]:-}
[ -f "$setup32" ] && [ -f "$setup64" ] || fail "scripts/package.sh --quick made no installers"
version=$(sed -n 's/^#define QUILL_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/quill_version.h")
case "$setup32" in */quillpad-"$version"-setup.exe) ;; *) fail "32-bit installer named $setup32" ;; esac
case "$setup64" in */quillpad-"$version"-x64-setup.exe) ;; *) fail "64-bit installer named $setup64" ;; esac
if [ -n "${failure[MakesBothInstallers]}" ]; then
  write_results
  exit 1
fi
mapfile -t shelf_books < <("$native/books/shelf" catalogue | cut -f2)
expect_eq "number of shelf books" "${#shelf_books[@]}" 17
books=${QUILL_BOOKS_DIR:-$(dirname "$build")/win64/install}

begin ShippedInstallerHoldsThe32BitProgram
expect_eq "the 32-bit installer's machine" "$(pe_machine "$setup32")" 014c
expect_eq "the 64-bit installer's machine" "$(pe_machine "$setup64")" 8664
rm -rf "$work"
mkdir -p "$work/payload32"
# The build's programs as they ship: without their debugging information,
# their link time kept.
mkdir -p "$work/programs"
shipped_copy() {  # STRIP PROGRAM COPY
  SOURCE_DATE_EPOCH=$(pe_time_stamp "$2") "$1" -o "$3" "$2"
}
shipped_copy i686-w64-mingw32-strip "$(dirname "$build")/win32/shell/quillpad.exe" "$work/programs/quillpad32.exe"
shipped_copy i686-w64-mingw32-strip "$(dirname "$build")/win32/tools/xqb.exe" "$work/programs/xqb32.exe"
shipped_copy x86_64-w64-mingw32-strip "$build/shell/quillpad.exe" "$work/programs/quillpad64.exe"
shipped_copy x86_64-w64-mingw32-strip "$build/tools/xqb.exe" "$work/programs/xqb64.exe"
if 7z x -y -o"$work/payload32" "$setup32" >"$work/7z.log" 2>&1; then
  expect_eq "the shipped program's machine" "$(pe_machine "$work/payload32/quillpad.exe")" 014c
  cmp -s "$work/payload32/quillpad.exe" "$work/programs/quillpad32.exe" ||
    fail "the shipped quillpad.exe is not the 32-bit build's, stripped"
  cmp -s "$work/payload32/xqb.exe" "$work/programs/xqb32.exe" ||
    fail "the shipped xqb.exe is not the 32-bit build's, stripped"
  for file in "${shelf_books[@]}"; do
    cmp -s "$work/payload32/$file" "$books/$file" || fail "payload's $file differs or is missing"
    [ -s "$work/payload32/licences/${file%.xqb}.txt" ] || fail "payload lacks the licence of $file"
  done
else
  fail "7z cannot read the 32-bit installer"
fi
rm -rf "$work/payload32"

# ---------------------------------------------------------------- prefix
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
key='HKLM\Software\Orvelle\Quillpad'
history_key='HKLM\Software\Orvelle\Quill'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvelle Quillpad'
folder='C:\Apps\Orvelle Quillpad'
installed="$WINEPREFIX/drive_c/Apps/Orvelle Quillpad"
shortcut='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Orvelle Quillpad.lnk'
shortcut_file="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Orvelle Quillpad.lnk"

# What a user sees of an installed copy: the program, every book with its
# licence, the uninstaller, the shortcut, the registry.
check_installed() {
  cmp -s "$installed/quillpad.exe" "$work/programs/quillpad64.exe" ||
    fail "the installed quillpad.exe is not the 64-bit build's, stripped"
  cmp -s "$installed/xqb.exe" "$work/programs/xqb64.exe" ||
    fail "the installed xqb.exe is not the 64-bit build's, stripped"
  local file
  for file in "${shelf_books[@]}"; do
    cmp -s "$installed/$file" "$books/$file" || fail "$file differs or is missing"
    [ -s "$installed/licences/${file%.xqb}.txt" ] || fail "no licence for $file"
  done
  [ -f "$installed/uninstall.exe" ] || fail "no uninstall.exe"
  [ -f "$shortcut_file" ] || fail "no Start-menu shortcut"
  expect_eq "InstallPath" "$(reg_value "$key" InstallPath 64)" "$folder"
  expect_eq "InstallLocation" "$(reg_value "$uninstall_key" InstallLocation 64)" "$folder"
  # The 64-bit program reads the 64-bit view; nothing goes to the other.
  expect_eq "InstallPath in the 32-bit view" "$(reg_value "$key" InstallPath 32)" ""
  expect_eq "DisplayName" "$(reg_value "$uninstall_key" DisplayName 64)" "Orvelle Quillpad"
  expect_eq "DisplayVersion" "$(reg_value "$uninstall_key" DisplayVersion 64)" "$version"
  expect_eq "Publisher" "$(reg_value "$uninstall_key" Publisher 64)" "Orvelle Reference Software"
  # The books and the two programs beside them.
  local size books_kb
  size=$(reg_value "$uninstall_key" EstimatedSize 64)
  books_kb=$(du -sk "$books" "$work/programs/quillpad64.exe" "$work/programs/xqb64.exe" |
             awk '{ kb += $1 } END { print kb }')
  ((size > books_kb * 9 / 10 && size < books_kb * 11 / 10)) ||
    fail "EstimatedSize $size KB for $books_kb KB of books and programs"
}

# ---------------------------------------------------------------- install
begin SilentInstallIntoChosenFolder
run_installer "$setup64" /S "/D=$folder"
expect_eq "installer exit code" "$?" 0
check_installed
[ ! -e "$WINEPREFIX/drive_c/Program Files/Orvelle Quillpad" ] ||
  fail "files went to Program Files despite /D="

# The installed xqb looks a word up in every book of the install folder:
# under each book's title, the books that hold it first.
begin InstalledXqbLooksUpAcrossTheInstallFolder
answer=$(wine "$folder\\xqb.exe" lookup "$folder" book 2>/dev/null | tr -d '\r')
grep -q '^== ' <<<"$answer" || fail "xqb lookup over the folder printed no book headings"
[ "$(grep -c '^== ' <<<"$answer")" -eq "${#shelf_books[@]}" ] ||
  fail "xqb lookup over the folder did not answer from each of the ${#shelf_books[@]} books"
sed -n 2p <<<"$answer" | grep -q '^found ' ||
  fail "the first book of the answer does not hold the word: $(sed -n 1,3p <<<"$answer")"

# ---------------------------------------------------------------- start
begin StartsFromShortcutWithWordNet
first=$(cmake --build "$native" --target xqb >/dev/null && "$native/tools/xqb" dump "$installed/deflex_a.xqb" | head -n 1)
first_key=${first%%$'\t'*}
first_content=${first#*$'\t'}
first_line=${first_content##*\\n}
first_line=${first_line#"${first_line%%[! ]*}"}
[ -n "$first_key" ] && [ -n "$first_line" ] || fail "cannot read WordNet's first entry"
wine start "$shortcut" </dev/null >/dev/null 2>&1
if wait_for_window; then
  processes=$(ps -eo args)
  grep -qxF "$folder\\quillpad.exe" <<<"$processes" || fail "the running program is not $folder\\quillpad.exe"
  xdotool search --name '^Open$' >/dev/null 2>&1 && fail "the open-file dialog came up"
  expect_eq "input box" "$(probe --input)" "$first_key"
  pane=$(probe)
  case "$pane" in
    *"$first_line"*) ;;
    *) fail "content pane shows '$pane', not WordNet's first entry '$first_line'" ;;
  esac
  close_program
fi
# What the program remembers: the book it had open, the window's place,
# the history's size (written with its default at the first start).
expect_eq "XQB_PATH" "$(reg_value "$key" XQB_PATH 64)" "$folder\\deflex_a.xqb"
[ -n "$(reg_value "$key" Pos_Right 64)" ] || fail "no Pos_Right stored at exit"
expect_eq "HistoryRecord" "$(reg_value "$history_key" HistoryRecord 64)" 0x64

# ---------------------------------------------------------------- upgrade
begin UpgradeKeepsSettings
# The user's own choices, as a user would set them.
wine reg add "$history_key" /v HistoryRecord /t REG_DWORD /d 37 /f /reg:64 >/dev/null 2>&1
position=$(reg_value "$key" Pos_Right 64)
# While the program runs its files cannot be replaced: a silent upgrade
# gives up without touching anything.
# A file the user lost, which an upgrade puts back.
rm -f "$installed/licences/devil.txt"
wine start "$shortcut" </dev/null >/dev/null 2>&1
if wait_for_window; then
  run_installer "$setup64" /S "/D=$folder"
  expect_eq "exit code of an upgrade while the program runs" "$?" 2
  [ ! -e "$installed/licences/devil.txt" ] || fail "an upgrade while the program ran went ahead"
  close_program
fi
run_installer "$setup64" /S "/D=$folder"
expect_eq "upgrade exit code" "$?" 0
check_installed
expect_eq "XQB_PATH after the upgrade" "$(reg_value "$key" XQB_PATH 64)" "$folder\\deflex_a.xqb"
expect_eq "Pos_Right after the upgrade" "$(reg_value "$key" Pos_Right 64)" "$position"
expect_eq "HistoryRecord after the upgrade" "$(reg_value "$history_key" HistoryRecord 64)" 0x25

# ---------------------------------------------------------------- move
begin InstallElsewhereTakesTheOldCopyAway
echo "my own notes" >"$installed/notes.txt"
old_installed=$installed
folder='C:\Apps\Quillpad Two'
installed="$WINEPREFIX/drive_c/Apps/Quillpad Two"
run_installer "$setup64" /S "/D=$folder"
expect_eq "exit code of an install elsewhere" "$?" 0
check_installed
left=$(cd "$old_installed" 2>/dev/null && find . -mindepth 1 | sort | tr '\n' ' ')
expect_eq "what is left of the old copy" "$left" "./notes.txt "
expect_eq "HistoryRecord after moving" "$(reg_value "$history_key" HistoryRecord 64)" 0x25

# ---------------------------------------------------------------- uninstall
begin UninstallRemovesWhatItInstalled
echo "my own notes" >"$installed/notes.txt"
# As Add/Remove Programs would run it, silently.
quiet=$(reg_value "$uninstall_key" QuietUninstallString 64)
expect_eq "QuietUninstallString" "$quiet" "\"$folder\\uninstall.exe\" /S"
wine "$folder\\uninstall.exe" /S </dev/null >/dev/null 2>&1
# The uninstaller runs from a copy of itself and returns at once.
for _ in $(seq 100); do
  [ -e "$installed/uninstall.exe" ] || break
  sleep 0.3
done
[ ! -e "$installed/uninstall.exe" ] || fail "uninstall.exe is still there"
[ ! -e "$installed/quillpad.exe" ] || fail "quillpad.exe is still there"
[ ! -e "$installed/xqb.exe" ] || fail "xqb.exe is still there"
for file in "${shelf_books[@]}"; do
  [ ! -e "$installed/$file" ] || fail "$file is still there"
done
[ ! -e "$installed/licences" ] || fail "the licences are still there"
[ -f "$installed/notes.txt" ] || fail "the user's own file in the folder went too"
[ ! -e "$shortcut_file" ] || fail "the shortcut is still there"
expect_eq "InstallPath after uninstalling" "$(reg_value "$key" InstallPath 64)" ""
reg_has_key "$uninstall_key" 64 && fail "the Add/Remove Programs entry is still there"
# The user's settings stay for a later install.
expect_eq "XQB_PATH after uninstalling" "$(reg_value "$key" XQB_PATH 64)" 'C:\Apps\Orvelle Quillpad\deflex_a.xqb'
expect_eq "HistoryRecord after uninstalling" "$(reg_value "$history_key" HistoryRecord 64)" 0x25

wineserver -k 2>/dev/null
write_results
failed=$?
# A failed run leaves its prefix for a look.
[ "$failed" -ne 0 ] || rm -rf "$work"
exit "$failed"
