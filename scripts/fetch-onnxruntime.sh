#!/usr/bin/env bash
# Brings onnxruntime, which runs the natural voices, into .deps/onnxruntime/ (lib/, include/,
# LICENSE); does nothing when that version is there already. Debian 12 has no onnxruntime:
# - the library is the official Linux x64 build inside the npm package onnxruntime-node, taken
#   with `npm pack` (its install script would download more) and unpacked to the one file;
# - the C headers come from Debian 13's libonnxruntime-dev, downloaded through a private apt
#   configuration in a scratch folder and unpacked, never installed: the machine's sources and
#   packages stay as they are. They declare API version 21, which the 1.31 library serves.
# Both are pinned by version and checksum.
#   scripts/fetch-onnxruntime.sh [DEST]    (default .deps/onnxruntime)
set -euo pipefail
cd "$(dirname "$0")/.."

library_version=1.31.1
library_tarball_sha1=984183ad51216c99ce333a1e0bf4a1f2fa1d19f0
library_sha256=f19a4da48c4c65e0cdccff82354482f657fa91a3455b66174195b94ca55b0e6f
headers_version=1.21.0+dfsg-1
headers_deb_sha256=14f7d959d5deacbcf1504830d4189f91fc67382b399ed9ae9d3aa9c4050ced08

dest=${1:-.deps/onnxruntime}
stamp="$dest/.version"
wanted="$library_version $headers_version"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
    exit 0
fi

check() { # FILE SUM: sha1 or sha256 by the sum's length
    local tool=sha256sum
    [ ${#2} -eq 40 ] && tool=sha1sum
    echo "$2  $1" | "$tool" --check --status || {
        echo "fetch-onnxruntime: $1 does not have the pinned checksum $2" >&2
        exit 1
    }
}

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if ! command -v npm >/dev/null; then
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends npm
fi

work=$(mktemp -d /tmp/parlora-onnxruntime.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "Fetching onnxruntime $library_version"
(cd "$work" && npm pack --silent "onnxruntime-node@$library_version" >/dev/null)
tarball="$work/onnxruntime-node-$library_version.tgz"
check "$tarball" "$library_tarball_sha1"
tar -xzf "$tarball" -C "$work" package/bin/napi-v6/linux/x64/libonnxruntime.so.1
library="$work/package/bin/napi-v6/linux/x64/libonnxruntime.so.1"
check "$library" "$library_sha256"

echo "Fetching the onnxruntime C headers ($headers_version)"
# The same archive the machine's own sources name, with the next release's suite.
archive=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
[ -n "$archive" ] || archive=$(awk '/^deb / {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
[ -n "$archive" ] || { echo "fetch-onnxruntime: no Debian archive in the apt sources" >&2; exit 1; }
apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive trixie main" >"$apt_dir/sources.list"
apt_options=(
    -o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o Dir::Etc::sourceparts=-
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
    -o Acquire::IndexTargets::deb::DEP-11::DefaultEnabled=false
    -o Acquire::IndexTargets::deb::DEP-11-icons::DefaultEnabled=false
    -o Acquire::IndexTargets::deb::Contents-deb::DefaultEnabled=false
    -o APT::Sandbox::User=root
)
apt-get "${apt_options[@]}" update -qq
(cd "$work" && apt-get "${apt_options[@]}" download -qq "libonnxruntime-dev=$headers_version")
deb=$(ls "$work"/libonnxruntime-dev_*.deb)
check "$deb" "$headers_deb_sha256"
dpkg-deb -x "$deb" "$work/dev"

rm -rf "$dest"
mkdir -p "$dest/lib" "$dest/include"
cp "$library" "$dest/lib/libonnxruntime.so.1"
ln -s libonnxruntime.so.1 "$dest/lib/libonnxruntime.so"
cp "$work"/dev/usr/include/onnxruntime/onnxruntime_c_api.h "$dest/include/"
# The npm package carries no licence file; the Debian package's copyright file holds the
# project's MIT licence.
cp "$work/dev/usr/share/doc/libonnxruntime-dev/copyright" "$dest/LICENSE"
echo "$wanted" >"$stamp"
echo "onnxruntime $library_version is in $dest"
