#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it under Wine. Without a display it
# runs on a private Xvfb, takes a screenshot after a few seconds and says where it is.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/deps.sh"
source "$here/wine-env.sh"

build_target i686 -DRIRERED_TESTS=OFF
build_target x86_64 -DRIRERED_TESTS=OFF
# The shipped folder is the i686 one; this machine's Wine runs only the x86_64 build of it.
cmake --install "$root/build/i686" --prefix "$root/build/dist" >/dev/null
cmake --install "$root/build/x86_64" --prefix "$root/build/dist-x86_64" >/dev/null

use_fresh_prefix
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$root/build/dist-x86_64/RIRered.exe"
fi
start_display
trap 'stop_wine; stop_display' EXIT
wine "$root/build/dist-x86_64/RIRered.exe" &
sleep "${RIRERED_SHOT_DELAY:-8}"
shot="$root/build/screenshot.png"
import -display "$DISPLAY" -window root "$shot"
echo "No display: the program ran on a private Xvfb; its screenshot is $shot"
