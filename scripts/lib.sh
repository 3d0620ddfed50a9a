# Shared by the scripts: a virtual display, Wine prefixes and missing packages.

QUILL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Starts Xvfb on a free display and exports DISPLAY; stop_display ends it.
start_display() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  QUILL_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}

stop_display() {
  if [ -n "${QUILL_XVFB_PID:-}" ]; then
    kill "$QUILL_XVFB_PID" 2>/dev/null || true
    wait "$QUILL_XVFB_PID" 2>/dev/null || true
    QUILL_XVFB_PID=
  fi
}

# Prepares the Wine prefix of a build tree (created once, about 10 s) and
# keeps its wineserver running until stop_wine.
start_wine() {
  export WINEPREFIX="$1/wineprefix"
  mkdir -p "$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  wineserver -p 2>/dev/null || true
  # Start Wine's services now, detached from any output pipe.
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wine() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
}

# Installs with apt-get those of PACKAGES that are not installed yet, saying
# so on stderr as WHO; nothing happens when all are there. Needs root or sudo.
install_missing_packages() {  # WHO PACKAGES...
  local who=$1 p
  shift
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      [[ " ${missing[*]} " == *" $p "* ]] || missing+=("$p")
    fi
  done
  ((${#missing[@]})) || return 0
  echo "$who: installing ${missing[*]}" >&2
  local sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
