#!/usr/bin/env bash
# Builds everything and runs every check: the fuzzers (bounded runs), then the unit tests and the
# host check of the built VST3 and LV2 binaries, then the unit tests again under the sanitisers.
# Anything that needs a display runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

# Building and testing must leave the user's home as it was. Compared are only the places the
# plug-in, its build and its tests could write: a listing of the whole home takes long, changes
# under a running desktop (browser caches) and, for a clone inside the home, holds the project's
# own build. Left out wherever they lie: this project's tree and the compiler cache, which a build
# configured with ccache fills on purpose.
project_root="$PWD"
home_listing() {
    local skipped=(-path "$project_root" -o -path "${CCACHE_DIR:-$HOME/.cache/ccache}" -o -path "$HOME/.cache/ccache"
                   -o -path "$HOME/.ccache" -o -path "$HOME/.config/ccache")
    {
        # The plug-in's presets and logs (~/Library) and its install folders, which only
        # tools/install.sh may fill: every file with its size and time.
        find "$HOME/Library" "$HOME/.lv2" "$HOME/.vst3" \( "${skipped[@]}" \) -prune -o -printf '%p %s %T@\n'
        # Folders of fonts, D-Bus and certificates that libraries create in a home: names only,
        # as a desktop's programs update the files in them.
        find "$HOME/.fontconfig" "$HOME/.cache/fontconfig" "$HOME/.dbus" "$HOME/.pki" \( "${skipped[@]}" \) -prune -o -print
        # Only the top level of the home and of its shared dotfolders, where a program's first
        # write (a core dump, a cache or settings folder) shows as a new name.
        find "$HOME" "$HOME/.config" "$HOME/.cache" "$HOME/.local" "$HOME/.local/share" "$HOME/.local/state" \
            -mindepth 1 -maxdepth 1 \( "${skipped[@]}" \) -prune -o -print
    } 2>/dev/null | LC_ALL=C sort || true # a folder that does not exist lists as nothing
}
# A compiler cache named in the environment may create its folder (and parents such as ~/.cache)
# on the first compile: made here, before the listing, it is the cache's and not the build's.
if [ -n "${CCACHE_DIR:-}" ]; then mkdir -p "$CCACHE_DIR"; fi
home_before="$(home_listing)"

jobs="$(nproc)"

cmake -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"

if [ -f tools/run-fuzzers.sh ]; then
    bash tools/run-fuzzers.sh
fi

run_ctest()
{
    local ctest_command=(ctest --test-dir "$1" --output-on-failure --timeout 900)
    if command -v xvfb-run >/dev/null 2>&1; then
        xvfb-run -a -s "-screen 0 1280x1024x24" "${ctest_command[@]}"
    else
        "${ctest_command[@]}"
    fi
}

run_ctest build

# The unit tests once more under AddressSanitizer and UndefinedBehaviorSanitizer, in the clang
# build the fuzzers use, so that JUCE is compiled once per configuration.
CC=clang CXX=clang++ cmake -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEVARERO_FUZZ=ON
cmake --build build-fuzz -j"$jobs" --target VevareroTests

ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1" \
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    run_ctest build-fuzz

if ! diff <(printf '%s\n' "$home_before") <(printf '%s\n' "$(home_listing)") >&2; then
    echo "Building and testing changed $HOME (paths above: < gone, > new)" >&2
    exit 1
fi
