#!/usr/bin/env bash
# Installs what is missing, builds both targets with their tests and runs both test suites
# under Wine, one after the other (they share the display and the focus): the shipped i686
# build under 32-bit Wine, then the x86_64 build. Arguments go to ctest (e.g. -R app_tests).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/deps.sh"
source "$here/wine-env.sh"

builds=()
if wine32_present; then
  builds+=(i686)
else
  echo "!!! 32-bit Wine is not installed: the shipped i686 build is NOT run; only the x86_64"
  echo "!!! build is tested (tools/deps.sh could not install wine32:i386, see its output)"
fi
builds+=(x86_64)

for arch in i686 x86_64; do
  echo "== building $arch"
  build_target "$arch" -DRIRERED_TESTS=ON
done

start_display
trap 'stop_wine; stop_display' EXIT
failed=()
for arch in "${builds[@]}"; do
  echo "== testing the $arch build"
  # Each suite in a fresh prefix of its own: nothing one leaves behind reaches the other.
  use_fresh_prefix
  warm_wine
  unmanaged_windows
  started=$SECONDS
  if ctest --test-dir "$root/build/$arch" --output-on-failure -j "$(nproc)" "$@"; then
    echo "== the $arch build passed its tests in $((SECONDS - started)) s"
  else
    echo "== the $arch build FAILED its tests ($((SECONDS - started)) s)"
    failed+=("$arch")
  fi
  stop_wine
  # The pictures the tests took of sample windows, as PNG for any viewer.
  for shot in "$root/build/$arch"/screenshots/*.bmp; do
    if [ -f "$shot" ]; then convert "$shot" "${shot%.bmp}.png"; fi
  done
done

if ! wine32_present; then
  echo "!!! the shipped i686 build was not run: 32-bit Wine is missing on this machine"
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "== tests failed in: ${failed[*]}"
  exit 1
fi
echo "== all tests passed: ${builds[*]}"
