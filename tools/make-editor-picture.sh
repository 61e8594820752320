#!/usr/bin/env bash
# Builds the VST3 and writes docs/editor.png: the plug-in's editor as a host shows it, opened under
# Xvfb with every parameter at its default. Run it again whenever the editor changes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target VevareroEditorPicture

# A home of its own: the plug-in starts from the default preset, never from one of yours.
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT

HOME="$home" xvfb-run -a -s "-screen 0 1280x1024x24" \
    build/tools/VevareroEditorPicture_artefacts/Release/VevareroEditorPicture \
    build/Vevarero_artefacts/Release/VST3/Vevarero.vst3 docs/editor.png
