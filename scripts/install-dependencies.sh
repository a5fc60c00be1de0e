#!/usr/bin/env bash
# Installs the Debian 12 packages Parlora needs to build, run and test; does nothing when they
# are all there already.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev libespeak-ng-dev espeak-ng flite1-dev libsndfile1-dev
    # run: the Qt plugins that Parlora loads at run time
    qt6-qpa-plugins libqt6multimedia6
    # test: sound server with a null sink, X server, feed reader, XML checker, fonts
    pulseaudio pulseaudio-utils xvfb xauth sox python3-feedparser libxml2-utils fonts-dejavu-core
    xdotool openbox imagemagick x11-utils xclip
    # package: building, validating and checking the .deb
    dpkg-dev desktop-file-utils appstream
    # fuzzing (clang's libFuzzer and sanitizer runtimes) and memory checking
    clang-14 libclang-rt-14-dev valgrind
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
