#!/usr/bin/env bash
# The user guide in both packages: every docs/guide page as HTML and every picture,
# in the MSI's tables (files in INSTALLDIR\guide, the Start menu shortcut to its first
# page) and in the zip's guide folder; the pages link to pages and pictures that are
# there, and never to a Markdown file.
#   guide_check.sh PACKAGES_DIR
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
packages=$1
msi=$(echo "$packages"/KavronStorageUtility-*-x64.msi)
zip=$(echo "$packages"/KavronStorageUtility-*-x64-portable.zip)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# What the guide is made of: "folder|name" of each file the packages must carry.
expected=$(cd "$ROOT/docs/guide" && {
  for page in *.md; do echo "GuideFolder|${page%.md}.html"; done
  for picture in pictures/*.png; do [[ -f $picture ]] && echo "GuidePictures|${picture#pictures/}"; done
} | sort)
grep -q '^GuideFolder|index.html$' <<<"$expected" || fail "docs/guide has no index.md"

table() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4; }
# The File table's guide files as "folder|name", through their components' folders.
installed=$(awk -F'\t' 'NR == FNR { folder[$1] = $3; next } folder[$2] ~ /^Guide/ { print folder[$2] "|" $3 }' \
  <(table Component) <(table File) | sort)
[[ $installed == "$expected" ]] || fail "the MSI's guide files: $(echo $installed), expected: $(echo $expected)"
index_key=$(table File | awk -F'\t' '$3 == "index.html" { print $1 }')
shortcut=$(table Shortcut | awk -F'\t' '$3 == "Kavron Storage Utility guide" { print $2 "|" $5 }')
[[ $shortcut == "ProgramMenuFolder|[#$index_key]" ]] || fail "the guide's Start menu shortcut: ${shortcut:-none}"

# The zip carries the same files, the pictures as drawn; the MSI the same bytes.
unzip -q "$zip" 'guide/*' -d "$work/zip" || fail "no guide in the zip"
msiextract -C "$work/msi" "$msi" >/dev/null || fail "cannot unpack the MSI"
zipped=$(cd "$work/zip/guide" 2>/dev/null && find . -type f -printf '%P\n' |
  sed -e 's/^pictures\//GuidePictures|/' -e '/|/!s/^/GuideFolder|/' | sort)
[[ $zipped == "$expected" ]] || fail "the zip's guide files: $(echo $zipped), expected: $(echo $expected)"
diff -r "$work/zip/guide" "$work/msi/Kavron/Storage Utility/guide" >/dev/null || fail "the MSI's guide is not the zip's"
for picture in "$ROOT"/docs/guide/pictures/*.png; do
  [[ ! -f $picture ]] || cmp -s "$picture" "$work/zip/guide/pictures/${picture##*/}" || fail "${picture##*/} is not as drawn"
done

# Every link and picture of every page resolves inside the guide; none names a .md.
for page in "$work"/zip/guide/*.html; do
  grep -q '<title>[^<]' "$page" || fail "${page##*/} has no title"
  while IFS= read -r target; do
    [[ $target == *://* || $target == mailto:* || $target == \#* ]] && continue
    target=${target%%#*}
    [[ $target != *.md ]] || fail "${page##*/} links to Markdown: $target"
    [[ -f $work/zip/guide/$target ]] || fail "${page##*/} links to $target, which is not in the guide"
  done < <(grep -o -e 'href="[^"]*"' -e 'src="[^"]*"' "$page" | sed 's/^[a-z]*="\(.*\)"$/\1/')
done

if ((failures)); then
  echo "guide: $failures checks failed"
  exit 1
fi
echo "guide: ok"
