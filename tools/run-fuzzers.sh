#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz and runs each for a bounded time (VEVARERO_FUZZ_SECONDS, 60 by default) with leak
# detection. Any crash, sanitizer report, leak, timeout or failed check fails the script; the
# input that caused it is kept in build-fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz
seconds="${VEVARERO_FUZZ_SECONDS:-60}"
jobs="$(nproc)"
targets=(FuzzHostState FuzzPresetFile)

CC=clang CXX=clang++ cmake -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEVARERO_FUZZ=ON
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

# Each fuzzer makes its own home folder in the temporary folder (tests/ScratchHome.h). The preset
# fuzzer writes two files per input to the temporary folder, which lives in memory where there is
# a memory file system (saving syncs the file to disk).
mkdir -p "$build/artifacts"

if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    TMPDIR="$(mktemp -d /dev/shm/vevarero-fuzz.XXXXXX)"
else
    TMPDIR="$(mktemp -d "$PWD/$build/fuzz-tmp.XXXXXX")"
fi
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"   # grows while fuzzing; the seeds in the repo stay as they are
    mkdir -p "$corpus"
    echo "== $target: ${seconds} s"
    # No allocation made while reading an input comes near 64 MB: one above it means some input
    # makes reading grow without bound, reported at once with the input that did it. The
    # resident-size limit leaves room for the sanitisers' own bookkeeping and quarantine.
    if ! "$build/tests/fuzz/$target" \
            -max_total_time="$seconds" -timeout=10 -malloc_limit_mb=64 -rss_limit_mb=1024 -detect_leaks=1 \
            -dict=tests/fuzz/xml.dict -artifact_prefix="$build/artifacts/$target-" \
            -print_final_stats=1 \
            "$corpus" "tests/fuzz/corpus/$target"; then
        echo "== $target FAILED; see $build/artifacts" >&2
        status=1
    fi
done

exit "$status"
