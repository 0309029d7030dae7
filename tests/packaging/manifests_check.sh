#!/usr/bin/env bash
# The winget and Scoop manifests that make-packages wrote beside the packages, read
# back against those packages (hashes, the MSI's product and upgrade codes and version)
# and against the required fields of the winget schema they name:
#   manifests_check.sh PACKAGES_DIR RELEASE_URL
set -uo pipefail

packages=$1 url=$2
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

msi=$(echo "$packages"/KavronStorageUtility-*-x64.msi)
zip=$(echo "$packages"/KavronStorageUtility-*-x64-portable.zip)
property() { msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' -v p="$1" '$1 == p { print $2 }'; }
version=$(property ProductVersion) product_code=$(property ProductCode) upgrade_code=$(property UpgradeCode)
[[ -n $version && -n $product_code && -n $upgrade_code ]] || fail "cannot read the MSI's codes and version"

dir=$packages/winget/manifests/k/Kavron/StorageUtility/$version
id=Kavron.StorageUtility
# A top-level key's value, without YAML's single quotes; VALUE of "- Key: VALUE" or
# "  Key: VALUE" under a list with KEY=-Key or KEY=+Key.
value() {
  awk -v k="$2" '
    index($0, k ": ") == 1 { v = substr($0, length(k) + 3); gsub(/^'\''|'\''$/, "", v); print v; exit }' "$1"
}
nested() { value "$1" "  $2" | head -1; }
listed() { value "$1" "- $2"; }

# The schema each file names, and the fields it requires (manifest.*.1.28.0.json).
declare -A required=(
  [version]="PackageIdentifier PackageVersion DefaultLocale ManifestType ManifestVersion"
  [installer]="PackageIdentifier PackageVersion Installers ManifestType ManifestVersion"
  [defaultLocale]="PackageIdentifier PackageVersion PackageLocale Publisher PackageName License ShortDescription ManifestType ManifestVersion"
)
declare -A file=([version]=$dir/$id.yaml [installer]=$dir/$id.installer.yaml [defaultLocale]=$dir/$id.locale.en-US.yaml)
for type in version installer defaultLocale; do
  f=${file[$type]}
  [[ -f $f ]] || { fail "no $type manifest: $f"; continue; }
  schema=$(value "$f" ManifestVersion)
  grep -qx "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.$type.$schema.schema.json" "$f" ||
    fail "$type: does not name its schema $schema"
  for key in ${required[$type]}; do
    grep -q "^$key:" "$f" || fail "$type: no $key"
  done
  [[ $(value "$f" ManifestType) == "$type" ]] || fail "$type: ManifestType $(value "$f" ManifestType)"
  [[ $(value "$f" PackageIdentifier) == "$id" ]] || fail "$type: PackageIdentifier $(value "$f" PackageIdentifier)"
  [[ $(value "$f" PackageVersion) == "$version" ]] || fail "$type: PackageVersion $(value "$f" PackageVersion), the MSI's $version"
done

installer=${file[installer]}
sha=$(sha256sum "$msi" | cut -d' ' -f1 | tr a-f A-F)
for pair in "InstallerType=msi" "Scope=machine" "ProductCode=$product_code"; do
  [[ $(value "$installer" "${pair%%=*}") == "${pair#*=}" ]] || fail "installer: ${pair%%=*} is not ${pair#*=}"
done
[[ $(nested "$installer" Silent) == "/quiet /norestart" && $(nested "$installer" SilentWithProgress) == "/passive /norestart" ]] ||
  fail "installer: the silent switches"
[[ $(listed "$installer" Architecture) == x64 ]] || fail "installer: not x64"
[[ $(nested "$installer" InstallerUrl) == "$url/$(basename "$msi")" ]] || fail "installer: InstallerUrl $(nested "$installer" InstallerUrl)"
[[ $(nested "$installer" InstallerSha256) == "$sha" ]] || fail "installer: InstallerSha256 is not the MSI's $sha"
[[ $(nested "$installer" ProductCode) == "$product_code" && $(nested "$installer" UpgradeCode) == "$upgrade_code" ]] ||
  fail "installer: the Apps and Features entry's codes are not the MSI's $product_code and $upgrade_code"

# Scoop: valid JSON, the version, the zip's address and hash.
scoop=$packages/scoop/kavron-storage-utility.json
read -r scoop_version scoop_url scoop_hash < <(python3 -c '
import json, sys
m = json.load(open(sys.argv[1]))
print(m["version"], m["architecture"]["64bit"]["url"], m["architecture"]["64bit"]["hash"])' "$scoop") ||
  fail "scoop: not a manifest with version, url and hash"
[[ ${scoop_version:-} == "$version" ]] || fail "scoop: version ${scoop_version:-none}"
[[ ${scoop_url:-} == "$url/$(basename "$zip")" ]] || fail "scoop: url ${scoop_url:-none}"
[[ ${scoop_hash:-} == "$(sha256sum "$zip" | cut -d' ' -f1)" ]] || fail "scoop: hash is not the zip's"

if ((failures)); then
  echo "manifests: $failures checks failed"
  exit 1
fi
echo "manifests: ok"
