#!/usr/bin/env bash
# Builds everything and runs every check: the fuzzers (bounded runs), then the unit tests and the
# host check of the built VST3 and LV2 binaries. Anything that needs a display runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

jobs="$(nproc)"

cmake -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"

if [ -f tools/run-fuzzers.sh ]; then
    bash tools/run-fuzzers.sh
fi

ctest_command=(ctest --test-dir build --output-on-failure --timeout 900)
if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "${ctest_command[@]}"
else
    "${ctest_command[@]}"
fi
