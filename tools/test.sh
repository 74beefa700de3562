#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs the whole test suite under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/deps.sh"
source "$here/wine-env.sh"

build_target i686 -DRIRERED_TESTS=OFF
build_target x86_64

use_fresh_prefix
start_display
trap 'stop_wine; stop_display' EXIT
warm_wine
cd "$root/build/x86_64"
ctest --output-on-failure -j "$(nproc)" "$@"
# The pictures the tests took of sample windows, as PNG for any viewer.
for shot in "$root"/build/x86_64/screenshots/*.bmp; do
  if [ -f "$shot" ]; then convert "$shot" "${shot%.bmp}.png"; fi
done
