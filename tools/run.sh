#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it under Wine: the shipped 32-bit
# program from build/dist where 32-bit Wine is installed, else the 64-bit build of it. The
# stand-in game is installed into the fresh prefix first (C:\Games\Quenmar with a "Quenmar.lnk"
# on the public desktop), so the program finds it at its start. Without a display it runs on a
# private Xvfb with the first start's notice already answered (the setting "Addinfo" stored
# as "0"), takes a screenshot once its main window is up and says where.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/deps.sh"
source "$here/wine-env.sh"

# The one build that runs here: the shipped 32-bit program where 32-bit Wine runs, else the
# 64-bit build of it. Its configuration is kept as found, and only the program, what the
# install copies and the stand-in game are built, never the test programs.
if wine32_present; then
  arch=i686 view=/reg:32 dist="$root/build/dist"
else
  echo "$(wine32_absence): starting the 64-bit build of the program"
  arch=x86_64 view=/reg:64 dist="$root/build/dist-x86_64"
fi
build_target "$arch" -- RIRered fxc program_data quenmar_game
cmake --install "$root/build/$arch" --prefix "$dist" >/dev/null
program="$dist/RIRered.exe"

use_fresh_prefix
headless=1
[ -n "${DISPLAY:-}" ] && headless=0
if [ "$headless" = 1 ]; then
  start_display
  trap 'stop_wine; stop_display' EXIT
else
  trap 'stop_wine' EXIT
fi
warm_wine

# The stand-in game, installed as its setup would: the game tree and the desktop shortcut.
mkdir -p "$WINEPREFIX/drive_c/Games"
rm -rf "$WINEPREFIX/drive_c/Games/Quenmar"
cp -r "$root/build/$arch/game" "$WINEPREFIX/drive_c/Games/Quenmar"
printf '%s\r\n' 'Set shell = CreateObject("WScript.Shell")' \
  'desktop = shell.SpecialFolders("AllUsersDesktop")' \
  'Set link = shell.CreateShortcut(desktop & "\Quenmar.lnk")' \
  'link.TargetPath = "C:\Games\Quenmar\Bin32\Quenmar.exe"' \
  'link.WorkingDirectory = "C:\Games\Quenmar\Bin32"' \
  'link.Save' > "$WINEPREFIX/drive_c/Games/shortcut.vbs"
wine cscript //nologo 'C:\Games\shortcut.vbs' >/dev/null 2>&1 || true
rm -f "$WINEPREFIX/drive_c/Games/shortcut.vbs"
if [ ! -f "$WINEPREFIX/drive_c/users/Public/Desktop/Quenmar.lnk" ]; then
  echo "could not make the desktop shortcut to the stand-in game" >&2
  exit 1
fi

if [ "$headless" = 0 ]; then
  wine "$program"
  exit 0
fi

unmanaged_windows
# The 32-bit program reads the registry's 32-bit view.
wine reg add 'HKLM\SOFTWARE\Nemorix\RIRered' /v Addinfo /t REG_SZ /d 0 /f "$view" >/dev/null 2>&1
wine "$program" &
# The main window is up once X shows it by its caption; then give it a moment to paint.
window=""
for _ in $(seq 120); do
  window=$(xwininfo -display "$DISPLAY" -name "Quenmar benchmark v1.4.1" 2>/dev/null |
           sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p' || true)
  [ -n "$window" ] && break
  sleep 0.25
done
sleep "${RIRERED_SHOT_DELAY:-2}"
shot="$root/build/screenshot.png"
import -display "$DISPLAY" -window "${window:-root}" "$shot"
echo "No display: the program ran on a private Xvfb; its screenshot is $shot"
