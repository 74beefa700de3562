#!/usr/bin/env bash
# The report of a benchmark run as a browser shows it. The test program BenchRunHost runs the
# stand-in game at 1024x768 under Wine, with a program folder whose name holds a blank and a
# "%"; then headless Chromium, on this machine outside Wine, renders the saved report. The
# rendered text must read "1024×768", and the logo's URL must lead back to the logo file.
# Skipped (exit code 77) only when the browser cannot start at all.
#   report-in-browser.sh <folder of the test programs>
# Needs the test suite's Wine prefix and display (WINEPREFIX, DISPLAY), as ctest has them.
set -euo pipefail
bin=$(cd "$1" && pwd)
browser=${RIRERED_BROWSER:-/usr/bin/chromium}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

flags=(--headless --no-sandbox --disable-gpu --disable-quic --no-first-run
       --disable-background-networking --disable-component-update --disable-sync
       "--user-data-dir=$work/profile")
if ! timeout 60 "$browser" "${flags[@]}" --dump-dom about:blank >"$work/blank.html" \
     2>"$work/browser.log"; then
  echo "SKIPPED: the browser $browser cannot start: $(tail -n 2 "$work/browser.log" 2>/dev/null)"
  exit 77
fi
echo "browser: $("$browser" --version 2>/dev/null || echo "$browser")"

# The program folder and the game inside the test prefix's drive C:.
top="report test $$"
c_drive=$(winepath -u 'C:\' 2>/dev/null)
program="$c_drive/$top/Program 100% Folder"
mkdir -p "$program"
cp -r "$bin/../game" "$c_drive/$top/Game"
cp -r "$bin/logo1.jpg" "$bin/qmsplash.bmp" "$bin/DirectX9c" "$program/"
cleanup() { rm -rf "$work" "$c_drive/$top"; }
trap cleanup EXIT

code=0
QUENMAR_FRAME_STEP=4 wine "$bin/BenchRunHost.exe" "C:\\$top\\Program 100% Folder" \
  "C:\\$top\\Game" --resolutions 2 --runs 1 --no-pauses \
  --settings-key "\\SOFTWARE\\Nemorix\\RIRered report test $$" >"$work/run.txt" 2>/dev/null ||
  code=$?
report=$(tr -d '\r' <"$work/run.txt" | sed -n 's/^report: //p')
if [ "$code" != 0 ] || [ -z "$report" ]; then
  echo "FAILED: the run at 1024x768 saved no report (exit code $code):"
  tr -d '\r' <"$work/run.txt" | grep -v '^C:' | head -n 20
  exit 1
fi
report_file=$(winepath -u "$report" 2>/dev/null)
url=$(python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$report_file")
timeout 60 "$browser" "${flags[@]}" --dump-dom "$url" >"$work/dom.html" 2>>"$work/browser.log"

failed=0
if grep -q '1024×768' "$work/dom.html"; then
  echo "the rendered report reads 1024×768"
else
  echo "FAILED: the rendered report does not read 1024×768:"
  grep -o 'Resolution: [^<]*' "$work/dom.html" | head -n 3
  failed=1
fi
logo_url=$(grep -o '<img src="[^"]*"' "$work/dom.html" | head -n 1 | sed 's/^<img src="//; s/"$//')
logo_path=$(python3 - "$logo_url" <<'PY'
import sys, urllib.parse
url = sys.argv[1]
if not url.startswith("file:///"):
    sys.exit(1)
print(urllib.parse.unquote(url[len("file:///"):]).replace("/", "\\"))
PY
) || logo_path=""
if [ -n "$logo_path" ] && cmp -s "$(winepath -u "$logo_path" 2>/dev/null)" "$bin/logo1.jpg"; then
  echo "the logo's URL $logo_url leads to the logo"
else
  echo "FAILED: the logo's URL \"$logo_url\" does not lead to the logo"
  failed=1
fi
[ "$failed" = 0 ] && echo "report in a browser: checked with $browser"
exit "$failed"
