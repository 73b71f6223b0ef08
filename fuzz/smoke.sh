#!/usr/bin/env bash
# The fuzz smoke: builds the fuzz targets with clang (ASan, UBSan, libFuzzer) in build-fuzz/ and runs
# each for a few seconds over its seed corpus and the inputs of past findings, so that a reader that
# starts to crash, hang or leak on hostile bytes fails the run.
#
#   fuzz/smoke.sh                   every target, FUZZ_SMOKE_SECONDS (default 5) seconds each
#   fuzz/smoke.sh layout mapfile    only these targets
#
# Without clang and its fuzzer runtime the smoke is skipped with a message, and succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SMOKE_SECONDS:-5}
build=${FUZZ_BUILD_DIR:-build-fuzz}

cxx=""
for candidate in clang++-14 clang++; do
  if command -v "$candidate" >/dev/null 2>&1; then cxx=$(command -v "$candidate"); break; fi
done
if [ -z "$cxx" ]; then
  echo "fuzz smoke skipped: clang++ is not installed (Debian: clang-14 libclang-rt-14-dev libfuzzer-14-dev)"
  exit 0
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }\n' >"$probe/p.cpp"
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1; then
  echo "fuzz smoke skipped: $cxx cannot link libFuzzer with the sanitizers (Debian: libclang-rt-14-dev libfuzzer-14-dev)"
  exit 0
fi

cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=()
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for target in "${targets[@]}"; do
  program="$build/fuzz_$target"
  [ -x "$program" ] || { echo "fuzz smoke: no program $program"; failed+=("$target"); continue; }
  # New inputs go to a scratch corpus; the seeds and the past findings are only read.
  work="$build/smoke-corpus/$target"
  rm -rf "$work" && mkdir -p "$work"
  dirs=("$work" "fuzz/corpus/$target")
  for regressions in tests/*/fuzz-regressions/"$target"; do
    [ -d "$regressions" ] && dirs+=("$regressions")
  done
  log="$build/smoke-$target.log"
  if "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
       -artifact_prefix="$build/smoke-crash-$target-" "${dirs[@]}" >"$log" 2>&1; then
    echo "fuzz smoke $target: ok ($(grep -E 'DONE' "$log" | tail -1 | tr -s '\t ' ' '))"
  else
    echo "fuzz smoke $target: FAILED, see $log"
    tail -40 "$log"
    failed+=("$target")
  fi
done
# A run that ends in a crash leaves its scratch folder behind (see fuzz/FuzzSupport.h).
for scratch in /dev/shm/tessora-fuzz-* "${TMPDIR:-/tmp}"/tessora-fuzz-*; do
  if [ -d "$scratch" ] && ! kill -0 "${scratch##*-}" 2>/dev/null; then rm -rf "$scratch"; fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz smoke failed: ${failed[*]}"
  exit 1
fi
