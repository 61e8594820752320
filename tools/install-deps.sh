#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the fuzzers, the host check and the
# benchmark need (the benchmark's optional comparison plug-ins aside: see the README). Safe to run
# again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ninja-build clang libclang-rt-dev libgtest-dev
  llvm                 # the llvm-symbolizer that matches clang: readable sanitizer reports
  juce-modules-source
  libasound2-dev libjack-jackd2-dev libfreetype-dev libfontconfig1-dev
  libx11-dev libxcomposite-dev libxcursor-dev libxext-dev libxinerama-dev libxrandr-dev
  libxrender-dev libgl-dev
  libxtst-dev          # the host check clicks into the hosted editor through XTEST
  lv2-dev serdi
  xvfb xauth
  fonts-roboto-unhinted
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
