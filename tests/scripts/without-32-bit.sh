#!/usr/bin/env bash
# The test command on a machine that cannot run 32-bit programs, as the scripts see it: the
# 32-bit loader they ask answers as such a kernel does (exit 126). The command must say so
# loudly once, run only the x86_64 suite (here one quick test program of it) and exit 0; and
# the project's wine must then hand every call to the 64-bit loader.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#!/bin/sh\necho "cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$work/wine"
chmod +x "$work/wine"

code=0
RIRERED_WINE32_LOADER="$work/wine" "$root/tools/test.sh" -R '^standin_tests$' >"$work/out" 2>&1 || code=$?
out="$work/out"
problems=()
[ "$code" = 0 ] || problems+=("the command exited with $code, not 0")
n=$(grep -c 'The shipped i686 build was NOT run: 32-bit programs cannot run on this machine' "$out")
[ "$n" = 1 ] || problems+=("the notice that the shipped build was not run came $n times, not once")
grep -q 'Exec format error' "$out" || problems+=("the notice does not give the loader's answer")
grep -q '^== testing the x86_64 build$' "$out" || problems+=("the x86_64 suite did not run")
grep -q '^== testing the i686 build$' "$out" && problems+=("the i686 suite ran")
grep -q '100% tests passed' "$out" || problems+=("ctest did not pass a test")
grep -q '^== all tests passed: x86_64$' "$out" || problems+=("no verdict for the x86_64 build alone")

# The calls the scripts and ctest make go through the project's wine to the 64-bit loader.
loader=$(RIRERED_WINE32_LOADER="$work/wine" RIRERED_WINE32= WINEDEBUG=-all \
         WINEPREFIX="$root/build/wineprefix" HOME="$root/build/winehome" \
         "$root/tools/wine/wine" cmd /c echo %WINELOADER% 2>/dev/null | tr -d '\r')
[ "$loader" = /usr/lib/wine/wine64 ] || problems+=("a Windows program saw WINELOADER \"$loader\"")
WINEPREFIX="$root/build/wineprefix" wineserver -k >/dev/null 2>&1 || true

if [ ${#problems[@]} -gt 0 ]; then
  echo "--- what the test command printed:"
  cat "$out"
  printf 'FAILED: %s\n' "${problems[@]}"
  exit 1
fi
echo "the test command without 32-bit programs: x86_64 suite alone, said once, exit 0"
