#!/usr/bin/env bash
# Installs, from Debian's archive, whatever building, running and testing
# Quillpad needs and this machine lacks. Safe to run again: it installs only
# what is missing. Needs root (or sudo) when something is missing.
set -euo pipefail

packages=(
  # Build tools and the native toolchain.
  cmake ninja-build g++ gcc make pkg-config python3 ccache
  # Tests, benchmarks and fuzzing of the portable core.
  googletest libbenchmark-dev clang-14 libclang-rt-14-dev
  # The Windows builds: MinGW-w64 with the posix thread model.
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  # Running and looking at the Windows program: 64-bit Wine on a virtual
  # display. (Never wine32: this machine runs no 32-bit code, and its
  # presence would make `wine` pick it.)
  wine wine64 xvfb xauth xdotool imagemagick x11-utils
  # Compressed dictionary sources, for xqb natively and in both Windows builds.
  zlib1g-dev libz-mingw-w64-dev
  # Real dictionaries xqb's tests import (StarDict and DSL), and sdcv, which
  # shows the StarDict one for comparison.
  stardict-czech goldendict-wordnet sdcv
  # WordNet's lists of irregular English forms ("geese goose"), which the
  # build makes into the table behind xqb lookup's base forms.
  wordnet-base
  # The installers, and looking inside them.
  nsis p7zip-full
  # Text of every script: a Cyrillic locale for the test that runs Wine on a
  # Cyrillic code page, and a font with Chinese characters for the panes.
  locales fonts-dejavu-core fonts-wqy-microhei
)

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
install_missing_packages setup "${packages[@]}"

# The Cyrillic locale, made once.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ru_RU.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
