# Sourced by the build and test scripts: builds the project and prepares Wine and a display.
# Nothing here touches the developer's own Wine prefix or home folder.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Configures and builds one target: i686 (shipped) or x86_64 (run under Wine).
build_target() {
  local arch=$1 dir="$root/build/$1"
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
      -DCMAKE_CROSSCOMPILING_EMULATOR=wine "$@" >/dev/null
  fi
  cmake --build "$dir"
}

# A template prefix is made once per machine; each run gets a fresh copy of it, with Z: a
# network drive (so searches of fixed drives stay inside the prefix) and the user folders
# real folders rather than links into $HOME.
wine_template="${RIRERED_WINE_TEMPLATE:-/var/tmp/rirered-wine-template}"
make_wine_template() {
  [ -f "$wine_template/.ready" ] && return 0
  echo "making the Wine template prefix (once per machine)"
  rm -rf "$wine_template" "$wine_template.home"
  mkdir -p "$wine_template.home"
  (
    export WINEPREFIX="$wine_template" HOME="$wine_template.home"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKLM\Software\Wine\Drives' /v z: /t REG_SZ /d network /f >/dev/null 2>&1
    wineserver -k || true
    wineserver -w || true
    for d in "$WINEPREFIX"/drive_c/users/*/; do
      for l in "$d"*; do
        if [ -L "$l" ]; then rm -f "$l"; mkdir -p "$l"; fi
      done
    done
  )
  touch "$wine_template/.ready"
}

# Fresh copy of the template for this run, private to the build folder.
use_fresh_prefix() {
  make_wine_template
  export WINEPREFIX="$root/build/wineprefix"
  export HOME="$root/build/winehome"
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$HOME"
  mkdir -p "$HOME"
  cp -a "$wine_template" "$WINEPREFIX"
}

# Starts a private Xvfb on a free display; stop_display ends it by its PID.
xvfb_pid=""
start_display() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  export DISPLAY=":$n"
}
stop_display() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=""
}

# Keeps the Wine server running between test programs, so each starts in a tenth of a second.
warm_wine() {
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit >/dev/null 2>&1 || true
}
stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
}
