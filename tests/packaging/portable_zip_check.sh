#!/usr/bin/env bash
# The portable zip as a Windows user unpacks it, and the packages' checksums:
#   portable_zip_check.sh PACKAGES_DIR WIN_BUILD_TREE VERSION
# VERSION is the one res/version.h gives ("5.1.0.2").
set -euo pipefail

packages=$1 tree=$2 version=$3
zip=$(echo "$packages"/KavronStorageUtility-*-x64-portable.zip)
[[ -f $zip ]] || { echo "no portable zip in $packages"; exit 1; }
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT

fail() { echo "portable zip: $*"; exit 1; }
[[ $(unzip -Z1 "$zip" | grep -v '^guide/' | tr '\n' ' ') == "KavronStorageUtility.exe kavronctl.exe README.txt SHA256SUMS " ]] ||
  fail "unexpected contents: $(unzip -Z1 "$zip" | tr '\n' ' ')"
unzip -q "$zip" -d "$unpacked"
cmp "$tree/app/KavronStorageUtility.exe" "$unpacked/KavronStorageUtility.exe" || fail "not the built utility"
cmp "$tree/kavronctl/kavronctl.exe" "$unpacked/kavronctl.exe" || fail "not the built kavronctl"
(cd "$unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"
[[ $(grep -c . "$unpacked/SHA256SUMS") == $(($(unzip -Z1 "$zip" | grep -c .) - 1)) ]] ||
  fail "SHA256SUMS should list every other file"
# Notepad's README: every line ends in CRLF, and it names the version.
[[ $(grep -c $'\r$' "$unpacked/README.txt") == $(wc -l <"$unpacked/README.txt") ]] || fail "README.txt has bare LF line ends"
grep -qF "Kavron Storage Utility $version" "$unpacked/README.txt" || fail "README.txt does not name version $version"
(cd "$packages" && sha256sum --quiet -c SHA256SUMS) || fail "the packages' SHA256SUMS does not match them"
echo "portable zip: ok"
