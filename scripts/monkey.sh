#!/usr/bin/env bash
# Runs the window's random-input test for a while, from a first seed on, and logs every seed:
#   scripts/monkey.sh BUILD_DIR SECONDS FIRST_SEED LOG
# A crash ends a process; the run goes on from the seed after the one that crashed (the log names it).
set -uo pipefail
build=$1 seconds=$2 seed=$3 log=$4
end=$(($(date +%s) + seconds))
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
while [ "$(date +%s)" -lt "$end" ]; do
  left=$((end - $(date +%s)))
  TESSORA_MONKEY_SECONDS=$left TESSORA_MONKEY_FIRST=$seed "$build/tests/app/tests_app" \
    --gtest_filter=Monkey.RandomBurstsKeepTheDocumentSound >>"$log" 2>&1
  echo "monkey process exit $?" >>"$log"
  last=$(grep -o 'monkey seed [0-9]* start' "$log" | tail -1 | grep -o '[0-9]*')
  seed=$((${last:-$seed} + 1))
done
