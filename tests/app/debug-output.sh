#!/bin/sh
# An author runs an installer whose script fails with `wine-run --debug-output`
# and reads each error with its callback and line; without the option the
# output is the program's own.
#   debug-output.sh WINE_RUN BUILD_DIR INSTALLER
set -u
wine_run=$1 build=$2 installer=$3
fail() { echo "debug-output: $*" >&2; exit 1; }

# Lines of the program's standard output end in CR LF.
shown=$("$wine_run" --build "$build" --debug-output "$installer" 2>&1 | tr -d '\r')
for expected in \
  "debug: script error in OnRunSetup: script:6: boom" \
  "debug: script error in the script's main chunk: script:8: chunk error after defining OnRunSetup" \
  "debug: OnRunSetup Quit" \
  "OnRunSetup ran"; do
  printf '%s\n' "$shown" | grep -qxF "$expected" || fail "missing \"$expected\" in:
$shown"
done

plain=$("$wine_run" --build "$build" "$installer" 2>&1 | tr -d '\r')
printf '%s\n' "$plain" | grep -q "debug:\|script error" && fail "debugger output without the option:
$plain"
printf '%s\n' "$plain" | grep -qxF "OnRunSetup ran" || fail "program output missing: $plain"
echo "debug-output: ok"
