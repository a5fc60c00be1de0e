#!/usr/bin/env bash
# Installs the Debian 12 packages that Parlora needs for a task, and onnxruntime, which Debian 12
# lacks (scripts/fetch-onnxruntime.sh); does nothing when they are all there already.
#   scripts/install-dependencies.sh [GROUP...]
# Groups: build (building and running; the default), test (the test suite, the package test
# included), thorough (the sanitizer, memcheck and fuzzing runs), package (building and
# checking the .deb). Each group brings the ones it builds on.
set -euo pipefail

build=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev libespeak-ng-dev espeak-ng flite1-dev libsndfile1-dev
    # MP3 encoding, loudness, tags; PDF; EPUB, DOCX and ODT packages
    libmp3lame-dev libebur128-dev libtag1-dev libpoppler-qt6-dev libzip-dev
    # the Qt plugins that Parlora loads at run time
    qt6-qpa-plugins libqt6multimedia6
)
package=(dpkg-dev desktop-file-utils appstream)
# sound server with a null sink, X server and window manager, input and screen tools, feed
# reader, XML checker, fonts
test=(
    pulseaudio pulseaudio-utils xvfb xauth sox python3-feedparser libxml2-utils fonts-dejavu-core
    xdotool openbox imagemagick x11-utils xclip
    # an independent loudness meter and tag reader for the episode tests
    ffmpeg
    # small natural-voice models made by the tests
    python3-onnx python3-numpy
)
# clang's libFuzzer and sanitizer runtimes, and valgrind
thorough=(clang-14 libclang-rt-14-dev valgrind)

[ $# -gt 0 ] || set -- build
packages=("${build[@]}")
for group in "$@"; do
    case $group in
    build) ;;
    package) packages+=("${package[@]}") ;;
    test) packages+=("${test[@]}" "${package[@]}") ;;
    thorough) packages+=("${test[@]}" "${package[@]}" "${thorough[@]}") ;;
    *)
        echo "unknown group: $group (build, test, thorough, package)" >&2
        exit 2
        ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
"$(dirname "$0")/fetch-onnxruntime.sh"
