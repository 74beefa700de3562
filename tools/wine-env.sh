# Sourced by the build, test and bench scripts: builds the project and prepares Wine and a
# display. Nothing here touches the developer's own Wine prefix or home folder.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Whether the shipped i686 build can run here: 32-bit Wine installed and the kernel willing to
# run it, asked once by running the 32-bit loader (tools/wine32-check). Every Wine call goes
# through the project's `wine` (tools/wine/wine), first on PATH, which sends it to the 64-bit
# loader where 32-bit programs cannot run.
wine32_answer=$("$root/tools/wine32-check" 2>&1 >/dev/null) && RIRERED_WINE32=yes || RIRERED_WINE32=no
export RIRERED_WINE32
export PATH="$root/tools/wine:$PATH"
wine32_present() {
  [ "$RIRERED_WINE32" = yes ]
}
# Why the shipped build cannot run here, for the scripts' loud notices.
wine32_absence() {
  if [ -n "${wine32_answer:-}" ]; then
    echo "32-bit programs cannot run on this machine ($wine32_answer)"
  else
    echo "32-bit Wine is not installed (tools/deps.sh could not install wine32:i386, see its output)"
  fi
}

# Configures (again when given options other than last time's, or when the build's emulator
# is not the project's wine) and builds one target: i686 (shipped) or x86_64. Options after
# the target are CMake's -D options; none keeps the configuration as it is. Further targets
# to build alone follow a "--" (none builds everything). One build folder is built by one
# script at a time.
build_target() {
  local arch=$1 dir="$root/build/$1"
  shift
  local options=() targets=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
  [ "${1:-}" = -- ] && shift
  targets=("$@")
  local wanted="${options[*]}" emulator="$root/tools/wine/wine"
  mkdir -p "$root/build"
  (
    flock -x 9
    if [ ! -f "$dir/build.ninja" ] ||
       { [ -n "$wanted" ] && [ "$(cat "$dir/.configured-with" 2>/dev/null)" != "$wanted" ]; } ||
       [ "$(sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:[A-Z]*=//p' "$dir/CMakeCache.txt" 2>/dev/null)" != "$emulator" ]; then
      [ -z "$wanted" ] && wanted=$(cat "$dir/.configured-with" 2>/dev/null || true)
      # shellcheck disable=SC2086
      cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" $wanted >/dev/null
      echo "$wanted" > "$dir/.configured-with"
    fi
    if [ ${#targets[@]} -gt 0 ]; then
      cmake --build "$dir" --target "${targets[@]}"
    else
      cmake --build "$dir"
    fi
  ) 9>"$root/build/$arch.lock"
}

# A template prefix is made once per machine and kind of Wine (a prefix made without 32-bit
# Wine cannot start 32-bit programs); each run gets a fresh copy of it, with Z: a network drive
# (so searches of fixed drives stay inside the prefix) and the user folders real folders rather
# than links into $HOME. It is made under a lock, in a folder of its own that is renamed into
# place once whole: a script that finds it being made waits, and no script sees half of one.
prefix_kind() {
  if wine32_present; then echo "wine64+wine32 z-network"; else echo "wine64 z-network"; fi
}
wine_template_base="${RIRERED_WINE_TEMPLATE:-/var/tmp/rirered-wine-template}"
if wine32_present; then wine_template="$wine_template_base-wine32"; else wine_template="$wine_template_base-wine64"; fi

# Runs one step of making the template; on failure says which command failed and why.
template_step() {
  local what=$1 out code=0
  shift
  out=$("$@" 2>&1) || code=$?
  if [ "$code" != 0 ]; then
    echo "!!! making the Wine template prefix: '$what' failed (exit $code)" >&2
    [ -n "$out" ] && printf '%s\n' "$out" | tail -n 20 | sed 's/^/!!!   /' >&2
    return 1
  fi
}
make_template_into() {
  local dir=$1
  export WINEPREFIX="$dir" HOME="$dir.home"
  mkdir -p "$HOME"
  template_step "wine wineboot.exe -i" wine wineboot.exe -i || return 1
  template_step "wineserver -w" wineserver -w || return 1
  # Wine's drive settings live in the 64-bit view, which a 32-bit reg.exe would not reach.
  template_step "wine reg add HKLM\\Software\\Wine\\Drives /v z: (network)" \
    wine reg add 'HKLM\Software\Wine\Drives' /v z: /t REG_SZ /d network /f /reg:64 || return 1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ ! -f "$dir/system.reg" ] || [ ! -d "$dir/drive_c/windows/system32" ]; then
    echo "!!! making the Wine template prefix: wineboot left no system registry or system folder in $dir" >&2
    return 1
  fi
  local d l
  for d in "$dir"/drive_c/users/*/; do
    for l in "$d"*; do
      if [ -L "$l" ]; then rm -f "$l"; mkdir -p "$l"; fi
    done
  done
  prefix_kind > "$dir/.ready"
}
make_wine_template() {
  mkdir -p "$(dirname "$wine_template")"
  (
    flock -x 9
    [ "$(cat "$wine_template/.ready" 2>/dev/null)" = "$(prefix_kind)" ] && exit 0
    echo "making the Wine template prefix (once per machine): $wine_template"
    local making="$wine_template.making"
    rm -rf "$making" "$making.home"
    if ! (make_template_into "$making"); then
      WINEPREFIX="$making" wineserver -k >/dev/null 2>&1 || true
      rm -rf "$making" "$making.home"
      exit 1
    fi
    rm -rf "$wine_template" "$wine_template.home"
    mv "$making.home" "$wine_template.home"
    mv "$making" "$wine_template"
  ) 9>"$wine_template.lock"
}

# Makes $1 a fresh copy of the template and uses it, with $2 as the home folder. The
# wineserver of a previous prefix at that place is ended first.
copy_template_to() {
  make_wine_template || exit 1
  export WINEPREFIX="$1" HOME="$2"
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$HOME"
  mkdir -p "$HOME"
  # Shared: copies run side by side, never beside the template being made again.
  ( flock -s 9; cp -a "$wine_template" "$WINEPREFIX" ) 9>"$wine_template.lock"
}

# Uses the prefix at $1 (home $2) kept between runs, made again from the template when it is
# missing or was made by another kind of Wine (it would fail to start 32-bit programs).
use_kept_prefix() {
  make_wine_template || exit 1
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

# Starts a private Xvfb on a display it chooses itself (so scripts started at once never
# share one); stop_display ends it by its PID.
xvfb_pid=""
start_display() {
  local numfile
  numfile=$(mktemp "${TMPDIR:-/tmp}/rirered-display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  local n=""
  for _ in $(seq 200); do
    n=$(tr -dc 0-9 <"$numfile")
    [ -n "$n" ] && [ -e "/tmp/.X11-unix/X$n" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
    sleep 0.05
  done
  rm -f "$numfile"
  if [ -z "$n" ]; then
    echo "!!! Xvfb did not start" >&2
    exit 1
  fi
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
