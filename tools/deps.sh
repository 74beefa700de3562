#!/usr/bin/env bash
# Installs what building and testing the program needs on a Debian machine (32-bit Wine too
# where the machine runs 32-bit programs, so the shipped i686 build can be tested), and
# cross-builds libjpeg-turbo for both Windows targets into build/deps. Quiet and quick when
# all is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64 wine wine64 xvfb
          googletest nlohmann-json3-dev fonts-wine imagemagick x11-utils dpkg-dev cmake ninja-build
          chromium)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A failing foreign index (i386 at times) must not keep the other packages from installing.
  apt-get update -qq || echo "warning: apt-get update reported errors; installing what it can"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# 32-bit Wine runs the shipped i686 build, where the machine runs 32-bit programs at all (some
# kernels refuse them, and Debian's wine then fails even for 64-bit programs). When they cannot
# run, or the packages or their index cannot be had, say so loudly and go on: the tests then
# run the x86_64 build alone. Nothing here removes a package.
why=$(mktemp)
wine32_answer=$("$root/tools/wine32-check" 2>"$why") || true
case "$wine32_answer" in
  runs) ;;
  missing)
    echo "installing: wine32:i386"
    export DEBIAN_FRONTEND=noninteractive
    added_i386=0
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      dpkg --add-architecture i386
      added_i386=1
    fi
    if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null; }; then
      echo "!!! WARNING: 32-bit Wine (wine32:i386) could not be installed; the shipped i686 build"
      echo "!!! will NOT be tested here, only the x86_64 build"
      if [ "$added_i386" = 1 ]; then
        dpkg --remove-architecture i386 || true
        apt-get update -qq || true
      fi
    fi
    ;;
  *)
    echo "32-bit programs cannot run on this machine ($(cat "$why")): 32-bit Wine is left out"
    ;;
esac
rm -f "$why"

# libjpeg-turbo from Debian's source package, one static build per target.
build_jpeg() {
  local arch=$1 proc=$2 prefix="$deps/jpeg-$1"
  [ -f "$prefix/lib/libjpeg.a" ] && return 0
  local src
  src=$(ls -d "$deps"/src/libjpeg-turbo-*/ 2>/dev/null | head -n1 || true)
  if [ -z "$src" ]; then
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        > /etc/apt/sources.list.d/debian-src.sources
      apt-get update -qq
    fi
    mkdir -p "$deps/src"
    (cd "$deps/src" && apt-get source -qq --download-only libjpeg-turbo >/dev/null 2>&1 \
       && dpkg-source -x libjpeg-turbo_*.dsc >/dev/null 2>&1)
    src=$(ls -d "$deps"/src/libjpeg-turbo-*/ | head -n1)
  fi
  echo "building libjpeg-turbo for $arch"
  cmake -S "$src" -B "$deps/jpeg-build-$arch" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$proc" \
    -DCMAKE_C_COMPILER="$arch-w64-mingw32-gcc-posix" -DCMAKE_RC_COMPILER="$arch-w64-mingw32-windres" \
    -DWITH_SIMD=0 -DENABLE_SHARED=0 -DWITH_TURBOJPEG=0 -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -Wno-dev >/dev/null
  cmake --build "$deps/jpeg-build-$arch" >/dev/null
  cmake --install "$deps/jpeg-build-$arch" >/dev/null
}
build_jpeg i686 X86
build_jpeg x86_64 AMD64
