#!/usr/bin/env bash
# Makes Quillpad's two Windows installers with NSIS (installer/quillpad.nsi):
#   build/package/quillpad-VERSION-setup.exe      the 32-bit program: the one shipped
#   build/package/quillpad-VERSION-x64-setup.exe  the 64-bit build: the one that runs here
# Each holds the program and xqb (stripped), the shelf's books and their
# licences. The books
# are those in build/win64/install, the folder the run command uses too
# (QUILL_BOOKS_DIR names another); books/build.sh makes the ones missing
# there. An installer newer than everything it holds is kept. Prints the
# installers' paths.
#   scripts/package.sh           solid LZMA, as shipped (a few minutes)
#   scripts/package.sh --quick   zlib into build/package/quick (seconds;
#                                what the install test uses)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/package
compressor="/SOLID lzma"
if [ "${1:-}" = --quick ]; then
  out=$root/build/package/quick
  compressor=zlib
fi

scripts/setup.sh
for preset in win32 win64; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target quillpad xqb >/dev/null
done

# ---------------------------------------------------------------- books
books=${QUILL_BOOKS_DIR:-$root/build/win64/install}
native=${QUILL_BOOKS_BUILD:-$root/build/native}
[ -f "$native/CMakeCache.txt" ] || cmake --preset native -B "$native" >/dev/null
cmake --build "$native" --target shelf >/dev/null
mapfile -t shelf_books < <("$native/books/shelf" catalogue | cut -f2)
missing=()
for file in "${shelf_books[@]}"; do
  [ -f "$books/$file" ] && [ -f "$books/licences/${file%.xqb}.txt" ] || missing+=("$file")
done
if ((${#missing[@]})); then
  echo "package: making ${#missing[@]} books into $books" >&2
  QUILL_BOOKS_BUILD=$native books/build.sh --out "$books" "${missing[@]}" >&2
fi

# ---------------------------------------------------------------- payload
# The installer puts these files in and the uninstaller takes exactly these
# out again, nothing else the user may have put into the folder.
mkdir -p "$out"
payload=$out/payload.nsh
{
  echo "; Made by scripts/package.sh: the books and their licences."
  echo '!macro InstallBooks'
  echo '  SetOutPath "$INSTDIR"'
  for file in "${shelf_books[@]}"; do echo "  File \"$books/$file\""; done
  echo '  SetOutPath "$INSTDIR\licences"'
  for file in "${shelf_books[@]}"; do echo "  File \"$books/licences/${file%.xqb}.txt\""; done
  if [ -d "$books/licences/common" ]; then
    echo '  SetOutPath "$INSTDIR\licences\common"'
    for text in "$books"/licences/common/*; do echo "  File \"$text\""; done
  fi
  echo '!macroend'
  echo '!macro RemoveBooks'
  for file in "${shelf_books[@]}"; do echo "  Delete \"\$INSTDIR\\$file\""; done
  for file in "${shelf_books[@]}"; do echo "  Delete \"\$INSTDIR\\licences\\${file%.xqb}.txt\""; done
  if [ -d "$books/licences/common" ]; then
    for text in "$books"/licences/common/*; do
      echo "  Delete \"\$INSTDIR\\licences\\common\\$(basename "$text")\""
    done
  fi
  echo '  RMDir "$INSTDIR\licences\common"'
  echo '  RMDir "$INSTDIR\licences"'
  echo '!macroend'
} >"$payload.new"
if cmp -s "$payload.new" "$payload"; then rm "$payload.new"; else mv "$payload.new" "$payload"; fi

# ---------------------------------------------------------------- installers
# A PE file's time stamp: the link time, in seconds since 1970.
pe_time_stamp() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tu4 -j$((header + 8)) -N4 "$1" | tr -d ' '
}
version=$(sed -n 's/^#define QUILL_VERSION_TEXT "\(.*\)"$/\1/p' build/win64/generated/quill_version.h)
for arch in 32 64; do
  if [ "$arch" = 32 ]; then tree=build/win32 name=quillpad-$version-setup.exe
  else tree=build/win64 name=quillpad-$version-x64-setup.exe; fi
  installer=$out/$name
  # The programs ship without their debugging information, a tenth of the
  # size; the build keeps its own copies whole. Each keeps its link time as
  # its time stamp, so that the same build ships the same bytes.
  programs=$out/programs$arch
  mkdir -p "$programs"
  strip=x86_64-w64-mingw32-strip
  [ "$arch" = 32 ] && strip=i686-w64-mingw32-strip
  for program in shell/quillpad.exe tools/xqb.exe; do
    if [ "$tree/$program" -nt "$programs/${program#*/}" ]; then
      SOURCE_DATE_EPOCH=$(pe_time_stamp "$tree/$program") \
        "$strip" -o "$programs/${program#*/}" "$tree/$program"
    fi
  done
  inputs=("$programs/quillpad.exe" "$programs/xqb.exe" "$tree/resources/art/quillpad.ico"
          installer/quillpad.nsi "$payload" "${shelf_books[@]/#/$books/}")
  stale=0
  [ -f "$installer" ] || stale=1
  for input in "${inputs[@]}"; do [ "$input" -nt "$installer" ] && stale=1; done
  if ((stale)); then
    echo "package: making $installer" >&2
    makensis -V2 -WX -INPUTCHARSET UTF8 \
      "-DARCH=$arch" "-DPROGRAM=$programs/quillpad.exe" "-DXQB=$programs/xqb.exe" \
      "-DICON=$root/$tree/resources/art/quillpad.ico" "-DPAYLOAD=$payload" \
      "-DCOMPRESSOR=$compressor" "-DOUTFILE=$installer.tmp" installer/quillpad.nsi >&2
    mv "$installer.tmp" "$installer"
  fi
  echo "$installer"
done
