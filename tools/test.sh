#!/usr/bin/env bash
# Installs what is missing, builds both targets with their tests and runs both test suites
# under Wine, one after the other (they share the display and the focus): the shipped i686
# build under 32-bit Wine, then the x86_64 build. Where this machine cannot run 32-bit
# programs, the x86_64 suite runs alone, said loudly. Arguments go to ctest (e.g. -R
# app_tests); without any, the scripts' own test runs last.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/deps.sh"
source "$here/wine-env.sh"

builds=()
if wine32_present; then builds+=(i686); fi
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
stop_display
trap - EXIT

# The scripts' own test: this command on a machine that refuses 32-bit programs.
if [ $# -eq 0 ]; then
  echo "== testing the scripts"
  if "$root/tests/scripts/without-32-bit.sh"; then
    echo "== the scripts passed their test"
  else
    echo "== the scripts FAILED their test"
    failed+=(scripts)
  fi
fi

if ! wine32_present; then
  echo "!!!"
  echo "!!! The shipped i686 build was NOT run: $(wine32_absence)."
  echo "!!! Only the x86_64 build of the same sources was tested."
  echo "!!!"
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "== tests failed in: ${failed[*]}"
  exit 1
fi
echo "== all tests passed: ${builds[*]}"
