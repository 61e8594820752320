#!/usr/bin/env bash
# Runs the tests that empty the presets and log folders with HOME at a stand-in for a user's home
# that holds a preset and a log. Both must survive, and nothing may appear, change or go there.
set -euo pipefail

binary="$1"
home="$2"
presets="$home/Library/Audio/Presets/Ririvud/Vevarero"
logs="$home/Library/Logs/Ririvud"

rm -rf "$home"
mkdir -p "$presets" "$logs"
printf 'a preset of the user' > "$presets/Mine.glp"
printf 'a preset of the user' > "$presets/User_Default.glp"
printf 'a log of the user' > "$logs/VevareroLog.txt"

listing() { (cd "$home" && find . -printf '%p %s %T@\n' | LC_ALL=C sort); }
before="$(listing)"

status=0
HOME="$home" "$binary" --gtest_filter='Footer*:PresetStartup.*:ScratchHome.*' || status=1

if ! diff <(printf '%s\n' "$before") <(listing); then
    echo "The tests changed the home folder they were started with (above: < before, > after)" >&2
    status=1
fi

exit "$status"
