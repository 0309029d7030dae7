#!/usr/bin/env bash
# Two builds of the last commit, from two copies of it in folders of different names
# and depths (one building inside its source folder, as build/win does, the other
# beside it), must give byte-identical programs and packages. Only the shipped
# programs are built, KAVRON_BUILD_JOBS (default 2) jobs at a time.
#
#   reproducible.sh [PATCH]
# PATCH, a diff applied to both copies, lets the check be shown to fail: a patch that
# puts __TIME__ into a program must make it report that program and the packages.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
patch=${1:+$(realpath "$1")}
work=$(mktemp -d /tmp/kavron-reproducible.XXXX)
trap 'rm -rf "$work"' EXIT
# Only the packaging gets SOURCE_DATE_EPOCH, as in make dist: gcc would also take it
# for __DATE__ and __TIME__ and hide them from this check.
epoch=$(git -C "$ROOT" log -1 --format=%ct)
unset SOURCE_DATE_EPOCH
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

# build SOURCE BINARY PACKAGES
build() {
  local src=$1 bin=$2 packages=$3
  mkdir -p "$src" "$bin"
  git -C "$ROOT" archive HEAD | tar -x -C "$src"
  [[ -z $patch ]] || (cd "$src" && git apply "$patch")
  cmake -S "$src" -B "$bin" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" >"$bin.log" 2>&1 ||
    { cat "$bin.log"; return 1; }
  cmake --build "$bin" --target KavronStorageUtility kavronctl -j"${KAVRON_BUILD_JOBS:-2}" >>"$bin.log" 2>&1 ||
    { tail -50 "$bin.log"; return 1; }
  SOURCE_DATE_EPOCH=$epoch "$src/packaging/make-packages" "$bin" "$packages" >/dev/null
}

start=$SECONDS
build "$work/first/kavron" "$work/first/kavron/build/win" "$work/first/dist"
build "$work/second/elsewhere/src" "$work/second/out" "$work/second/dist"
echo "two builds and packagings: $((SECONDS - start)) s"

differ=0
compare() {
  local name=$1 a=$2 b=$3
  if cmp -s "$a" "$b"; then
    printf 'same     %-44s %10s bytes\n' "$name" "$(stat -c %s "$a")"
  else
    printf 'DIFFERS  %-44s (%s)\n' "$name" "$(cmp "$a" "$b" 2>&1 | head -1)"
    differ=1
  fi
}
compare KavronStorageUtility.exe "$work"/first/kavron/build/win/app/KavronStorageUtility.exe \
  "$work"/second/out/app/KavronStorageUtility.exe
compare kavronctl.exe "$work"/first/kavron/build/win/kavronctl/kavronctl.exe \
  "$work"/second/out/kavronctl/kavronctl.exe
for f in "$work"/first/dist/*; do
  compare "$(basename "$f")" "$f" "$work/second/dist/$(basename "$f")"
done
if ((differ)); then
  echo "reproducible: the two builds differ"
  exit 1
fi
echo "reproducible: both builds are byte-identical"
