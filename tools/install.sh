#!/usr/bin/env bash
# Builds the plug-ins, installs the VST3 into ~/.vst3 and the LV2 into ~/.lv2, and starts the
# standalone app when there is a display to show it on.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target Vevarero_VST3 Vevarero_LV2 Vevarero_Standalone

artefacts=build/Vevarero_artefacts/Release
mkdir -p "$HOME/.vst3" "$HOME/.lv2"
rm -rf "$HOME/.vst3/Vevarero.vst3" "$HOME/.lv2/Vevarero.lv2"
cp -R "$artefacts/VST3/Vevarero.vst3" "$HOME/.vst3/"
cp -R "$artefacts/LV2/Vevarero.lv2" "$HOME/.lv2/"
echo "Installed $HOME/.vst3/Vevarero.vst3 and $HOME/.lv2/Vevarero.lv2"

# JUCE's standalone wrapper needs an X display (a Wayland desktop provides one through XWayland,
# which sets DISPLAY): started without one it crashes on its first window.
app="$PWD/$artefacts/Standalone/Vevarero"
if [ -z "${DISPLAY:-}" ]; then
    echo "No display here, so the standalone app was not started. From a desktop session, start it with"
    echo "  $app"
    exit 0
fi

exec "$app"
