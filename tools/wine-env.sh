# Sourced by the build, test and bench scripts: builds the project and prepares Wine and a
# display. Nothing here touches the developer's own Wine prefix or home folder.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Whether 32-bit Wine is installed, so that the shipped i686 build can run here.
wine32_present() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'
}

# Configures (again when given options other than last time's) and builds one target: i686
# (shipped) or x86_64. Options after the target are CMake's -D options; none keeps the
# configuration as it is.
build_target() {
  local arch=$1 dir="$root/build/$1"
  shift
  local wanted="$*"
  if [ ! -f "$dir/build.ninja" ] ||
     { [ -n "$wanted" ] && [ "$(cat "$dir/.configured-with" 2>/dev/null)" != "$wanted" ]; }; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
      -DCMAKE_CROSSCOMPILING_EMULATOR=wine "$@" >/dev/null
    echo "$wanted" > "$dir/.configured-with"
  fi
  cmake --build "$dir"
}

# A template prefix is made once per machine (and again once 32-bit Wine arrives, since a
# prefix made without it cannot start 32-bit programs); each run gets a fresh copy of it, with
# Z: a network drive (so searches of fixed drives stay inside the prefix) and the user folders
# real folders rather than links into $HOME.
wine_template="${RIRERED_WINE_TEMPLATE:-/var/tmp/rirered-wine-template}"
prefix_kind() {
  if wine32_present; then echo "wine64+wine32 z-network"; else echo "wine64 z-network"; fi
}
make_wine_template() {
  [ "$(cat "$wine_template/.ready" 2>/dev/null)" = "$(prefix_kind)" ] && return 0
  echo "making the Wine template prefix (once per machine)"
  rm -rf "$wine_template" "$wine_template.home"
  mkdir -p "$wine_template.home"
  (
    export WINEPREFIX="$wine_template" HOME="$wine_template.home"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Wine's drive settings live in the 64-bit view, which a 32-bit reg.exe would not reach.
    wine reg add 'HKLM\Software\Wine\Drives' /v z: /t REG_SZ /d network /f /reg:64 >/dev/null 2>&1
    wineserver -k || true
    wineserver -w || true
    for d in "$WINEPREFIX"/drive_c/users/*/; do
      for l in "$d"*; do
        if [ -L "$l" ]; then rm -f "$l"; mkdir -p "$l"; fi
      done
    done
  )
  prefix_kind > "$wine_template/.ready"
}

# Makes $1 a fresh copy of the template and uses it, with $2 as the home folder. The
# wineserver of a previous prefix at that place is ended first.
copy_template_to() {
  make_wine_template
  export WINEPREFIX="$1" HOME="$2"
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$HOME"
  mkdir -p "$HOME"
  cp -a "$wine_template" "$WINEPREFIX"
}

# Uses the prefix at $1 (home $2) kept between runs, made again from the template when it is
# missing or was made by another kind of Wine (it would fail to start 32-bit programs).
use_kept_prefix() {
  make_wine_template
  if [ "$(cat "$1/.ready" 2>/dev/null)" != "$(prefix_kind)" ]; then
    copy_template_to "$1" "$2"
  else
    export WINEPREFIX="$1" HOME="$2"
    mkdir -p "$HOME"
  fi
}

# Fresh copy of the template for this run, private to the build folder.
use_fresh_prefix() {
  copy_template_to "$root/build/wineprefix" "$root/build/winehome"
}

# Wine leaves top-level windows to the window manager by default; on a private Xvfb there is
# none, and closing a window then costs about two seconds. Prefixes used on such a display let
# Wine frame the windows itself. Needs the wineserver of $WINEPREFIX (warm_wine starts it).
unmanaged_windows() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
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

# A bench's own fresh prefix under build/<name>, on a private display when $2 is "display";
# everything is stopped when the script ends.
bench_prefix() {
  local dir="$root/build/$1"
  copy_template_to "$dir/wineprefix" "$dir/home"
  if [ "${2:-}" = display ]; then
    start_display
    trap 'stop_wine; stop_display' EXIT
  else
    trap 'stop_wine' EXIT
  fi
  warm_wine
  [ "${2:-}" = display ] && unmanaged_windows
  return 0
}
