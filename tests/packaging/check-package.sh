#!/usr/bin/env bash
# Builds the Debian package from a finished build, checks its metadata and files, unpacks it
# into a scratch root and starts the unpacked program on the test X display: its speech
# window must come up with the voice list filled.
#   check-package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build_dir=$1
source_dir=$2
scratch=$(mktemp -d /tmp/parlora-package.XXXXXX)
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "-- validating the desktop entry and the metainfo"
desktop-file-validate "$source_dir/data/org.parlora.Parlora.desktop"
appstreamcli validate --no-net "$build_dir/data/org.parlora.Parlora.metainfo.xml"

echo "-- building the package"
(cd "$build_dir" && cpack -G DEB -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/parlora_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
grep -q "release version=\"$version\"" "$build_dir/data/org.parlora.Parlora.metainfo.xml" \
    || fail "the metainfo does not name version $version"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libespeak-ng1 libflite1 espeak-ng-data libsndfile1 libqt6multimedia6 qt6-qpa-plugins libzip4 libpoppler-qt6-3; do
    [[ $depends == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
done
echo "-- checking that apt can install it with its dependencies"
apt-get install --simulate -qq "$deb" >/dev/null || fail "apt cannot resolve the package's dependencies"

echo "-- unpacking into a scratch root"
dpkg-deb -x "$deb" "$scratch/root"
for file in usr/bin/parlora usr/libexec/parlora/parlora-speech-helper \
    usr/share/applications/org.parlora.Parlora.desktop usr/share/metainfo/org.parlora.Parlora.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/org.parlora.Parlora.svg \
    usr/share/icons/hicolor/16x16/apps/org.parlora.Parlora.png \
    usr/share/icons/hicolor/48x48/apps/org.parlora.Parlora.png \
    usr/share/icons/hicolor/128x128/apps/org.parlora.Parlora.png usr/share/doc/parlora/copyright; do
    [ -s "$scratch/root/$file" ] || fail "missing from the package: /$file"
done
grep -q "GNU GENERAL PUBLIC LICENSE" "$scratch/root/usr/share/doc/parlora/copyright" || fail "no licence text"
listing=$("$scratch/root/usr/libexec/parlora/parlora-speech-helper" --list)
voices=$(printf '%s\n' "$listing" | wc -l)
[ "$voices" -ge 100 ] || fail "the installed helper lists only $voices voices"
printf '%s\n' "$listing" | grep -q "^flite	slt	" || fail "the installed helper lists no flite voice"
# Natural voices run on the onnxruntime the package carries, found from the installed helper.
/usr/bin/python3 "$source_dir/tests/support/make-natural-voice.py" "$scratch/voices" packaged >/dev/null
"$scratch/root/usr/libexec/parlora/parlora-speech-helper" --check-voice "$scratch/voices/en_US-packaged-x_low.onnx" \
    || fail "the installed helper cannot run a natural voice"
[ -s "$scratch/root/usr/share/doc/parlora/onnxruntime/copyright" ] || fail "onnxruntime's licence is not in the package"

echo "-- starting the unpacked program"
[ -n "${PARLORA_TEST_DISPLAY:-}" ] || fail "no test X display: run through scripts/test.sh"
export DISPLAY=$PARLORA_TEST_DISPLAY
env -u QT_QPA_PLATFORM "$scratch/root/usr/bin/parlora" &
program_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Parlora$' | head -1) \
    || fail "the speech window did not appear"
kill -0 "$program_pid" || fail "the program ended"
# The voice list's first entry is selected: its row is painted in the highlight colour.
# List2 stands at 96,192 (96 dpi) below the menu bar; look for highlight pixels there.
import -window "$window" "$scratch/window.png"
highlighted=$(convert "$scratch/window.png" -crop 110x30+96+195 -fx 'b>0.6 && r<0.4 && g>0.35 ? 1 : 0' \
    -format '%[fx:round(mean*w*h)]' info:)
[ "$highlighted" -gt 50 ] || fail "the voice list shows no selected voice ($highlighted highlighted pixels)"
echo "PASS: package $version installs, validates and starts with its voices"
