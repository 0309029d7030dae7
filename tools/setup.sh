#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: when everything is
# already installed it touches nothing (no apt-get update either).
set -euo pipefail

packages=(
  cmake make ninja-build g++ pkg-config git clang-format
  # clang with its sanitizer and libFuzzer runtimes, llvm-symbolizer for their reports
  clang libclang-rt-14-dev llvm
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb x11-utils imagemagick fonts-dejavu-core fonts-liberation
  iproute2 nftables procps psmisc time util-linux openssl libssl-dev
  googletest libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev
  wixl msitools faketime zip unzip osslsigncode
  # the user guide's Markdown pages as HTML in the packages (packaging/make-guide)
  cmark-gfm
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  echo "setup: all ${#packages[@]} packages present"
  exit 0
fi

SUDO=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "setup: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  SUDO=sudo
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${packages[@]}"
