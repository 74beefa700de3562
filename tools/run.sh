#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it under Wine: the shipped 32-bit
# program from build/dist where 32-bit Wine is installed, else the 64-bit build of it. Without
# a display it runs on a private Xvfb, takes a screenshot after a few seconds and says where.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/deps.sh"
source "$here/wine-env.sh"

# The same configuration as the tests', so switching between the two rebuilds nothing.
build_target i686 -DRIRERED_TESTS=ON
build_target x86_64 -DRIRERED_TESTS=ON
cmake --install "$root/build/i686" --prefix "$root/build/dist" >/dev/null
cmake --install "$root/build/x86_64" --prefix "$root/build/dist-x86_64" >/dev/null
if wine32_present; then
  program="$root/build/dist/RIRered.exe"
else
  echo "32-bit Wine is missing: starting the 64-bit build of the program"
  program="$root/build/dist-x86_64/RIRered.exe"
fi

use_fresh_prefix
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$program"
fi
start_display
trap 'stop_wine; stop_display' EXIT
warm_wine
unmanaged_windows
wine "$program" &
sleep "${RIRERED_SHOT_DELAY:-8}"
shot="$root/build/screenshot.png"
import -display "$DISPLAY" -window root "$shot"
echo "No display: the program ran on a private Xvfb; its screenshot is $shot"
