#!/usr/bin/env bash
# The installer under Wine, run by ctest inside `lab/lab run --wine --sim` (the
# lab's WINEPREFIX, its wineserver in the client namespace, the simulated devices):
#   msi_lab.sh PACKAGE.msi LATER.msi WIN_BUILD_TREE INSTALLED_UTILITY_TEST.exe NETSH_RECORDER.exe VERSION
# VERSION is PACKAGE.msi's, the one res/version.h gives ("5.1.0.2").
# LATER.msi is the same programs packaged as a later version (5.1.0.3).
#
# The package's firewall actions read from its tables; then a silent install puts both
# programs, the guide, the two Start menu shortcuts and the two firewall rules in place
# and records the product; the installed programs run; installing again changes
# nothing; a silent uninstall leaves nothing behind; the later version replaces this
# one; an install and an upgrade that fail after the firewall actions roll back to the
# rules there were. Rules the user made under other names, or under the package's
# names for another program, stay through all of it. Wine has no firewall: NETSH_RECORDER.exe
# plays netsh.exe and keeps the rules it is given.
set -uo pipefail

msi=$1 later=$2 tree=$3 check=$4 netsh=$5 version=$6
# Wine would also mirror the shortcut as a .desktop file in the host's home; the
# recorder stands in for Wine's own netsh.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d;netsh.exe=n"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

c=$WINEPREFIX/drive_c
folder="$c/Program Files/Kavron/Storage Utility"
installed='C:\Program Files\Kavron\Storage Utility'
# The Start menu of every user, where Windows puts a per-machine package's shortcut;
# Wine's installer puts it into the installing user's (docs/windows-notes.md).
shortcuts=("$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kavron Storage Utility.lnk"
  "$c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kavron Storage Utility.lnk")
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

msiexec() { wine msiexec "$@" </dev/null; }

# The prefix is a hard-linked copy of the template: unlink Wine's netsh before the copy.
system32=$c/windows/system32
rm -f "$system32/netsh.exe" && cp "$netsh" "$system32/netsh.exe" || fail "cannot put the netsh recorder in place"
rules=$system32/netsh-rules.txt

# The firewall actions as Windows Installer reads them: "Action Type Source Target",
# and each one's sequence number and condition.
actions=$(msiinfo export "$msi" CustomAction | tr -d '\r')
sequence=$(msiinfo export "$msi" InstallExecuteSequence | tr -d '\r')
action() { awk -F'\t' -v a="$1" '$1 == a { print $2 "|" $3 "|" $4 }' <<<"$actions"; }
step() { awk -F'\t' -v a="$1" '$1 == a { print $3 "|" $2 }' <<<"$sequence"; }
utility_rule='Kavron Storage Utility (devices, UDP 13579)'
ctl_rule='Kavron Storage Utility command line (devices, UDP 13579)'
allow() { printf 'advfirewall firewall add rule name="%s" dir=in action=allow program="[INSTALLDIR]%s" protocol=UDP localport=13579 profile=private,domain' "$1" "$2"; }
forget() { printf 'advfirewall firewall delete rule name="%s" program="[INSTALLDIR]%s"' "$1" "$2"; }
# 51: set a property; 3186: the exe of a property, status ignored, deferred, as
# LocalSystem; 3442: the same on rollback only.
[[ $(action SetKavronNetsh) == '51|KavronNetsh|[System64Folder]netsh.exe' ]] || fail "netsh's path: $(action SetKavronNetsh)"
for row in "Utility|$utility_rule|KavronStorageUtility.exe" "CommandLine|$ctl_rule|kavronctl.exe"; do
  IFS='|' read -r program name exe <<<"$row"
  for pair in "Allow|3186|$(allow "$name" "$exe")" "Restore|3442|$(allow "$name" "$exe")" \
    "Forget|3186|$(forget "$name" "$exe")" "Undo|3442|$(forget "$name" "$exe")"; do
    IFS='|' read -r verb type command <<<"$pair"
    id=Firewall$verb$program
    [[ $(action "$id") == "$type|KavronNetsh|$command" ]] || fail "$id: $(action "$id")"
  done
done
at() { step "$1" | cut -d'|' -f1; }
staying='NOT REMOVE~="ALL"'
existing='(Installed OR WIX_UPGRADE_DETECTED) AND NOT (UPGRADINGPRODUCTCODE AND REMOVE~="ALL")'
(($(at CostFinalize) < $(at SetKavronNetsh) && $(at SetKavronNetsh) < $(at InstallInitialize))) ||
  fail "netsh's path is not set between CostFinalize and InstallInitialize"
for program in Utility CommandLine; do
  for id in FirewallRestore$program FirewallForget$program; do
    [[ $(step $id | cut -d'|' -f2) == "$existing" ]] || fail "$id runs when: $(step $id)"
    (($(at InstallInitialize) < $(at $id) && $(at $id) < $(at RemoveFiles))) || fail "$id is not before RemoveFiles"
  done
  for id in FirewallUndo$program FirewallAllow$program; do
    [[ $(step $id | cut -d'|' -f2) == "$staying" ]] || fail "$id runs when: $(step $id)"
    (($(at InstallFiles) < $(at $id) && $(at $id) < $(at InstallFinalize))) || fail "$id is not after InstallFiles"
  done
  # Rollback runs the script backwards: a partner must come before what it undoes.
  (($(at FirewallRestore$program) < $(at FirewallForget$program) && $(at FirewallUndo$program) < $(at FirewallAllow$program))) ||
    fail "a rollback of $program's rule comes after the action it undoes"
done

# Rules the user made before the installer came: the portable copy's, as its README
# names them, and one under the installer's name for another copy of the program (as
# the portable README once said). Every run below must leave them alone.
rule() { printf 'name=%s\tdir=in\taction=allow\tprogram=%s\tprotocol=UDP\tlocalport=13579\tprofile=private,domain\n' "$1" "$2"; }
users_rules=$(rule 'Kavron Storage Utility portable (devices, UDP 13579)' 'D:\Tools\Kavron\KavronStorageUtility.exe'
  rule "$utility_rule" 'D:\Tools\Kavron\KavronStorageUtility.exe')
while IFS=$'\t' read -r -a fields; do
  wine netsh advfirewall firewall add rule "${fields[@]}" </dev/null >/dev/null || fail "cannot add the user's rule ${fields[0]}"
done <<<"$users_rules"

# The rules the recorder holds: the user's, and both programs' as installed or none.
expect_rules() {
  local what=$1 want=$2 have expected=$users_rules
  if [[ $want == both ]]; then
    expected+=$'\n'$(rule "$utility_rule" "$installed\KavronStorageUtility.exe"; rule "$ctl_rule" "$installed\kavronctl.exe")
  fi
  have=$(tr -d '\r' <"$rules" 2>/dev/null)
  [[ $(sort <<<"$have") == "$(sort <<<"$expected")" ]] ||
    fail "$what: firewall rules expected the user's and ${want}, found: ${have:-none}"
}

# The Uninstall entries whose DisplayName is ours, one "KEY|VERSION|PUBLISHER" line each.
entries() {
  wine reg query "$uninstall" /s 2>/dev/null | tr -d '\r' | awk '
    /^HKEY_/ { if (ours) print key "|" version "|" publisher; key = $0; ours = 0; version = ""; publisher = "" }
    $1 == "DisplayName" && $3 == "Kavron" && $5 == "Utility" { ours = 1 }
    $1 == "DisplayVersion" { version = $3 }
    $1 == "Publisher" { publisher = $3 }
    END { if (ours) print key "|" version "|" publisher }'
}

expect_installed() {
  local what=$1 version=$2 list
  [[ -f "$folder/KavronStorageUtility.exe" ]] || fail "$what: KavronStorageUtility.exe is not in $folder"
  cmp -s "$tree/app/KavronStorageUtility.exe" "$folder/KavronStorageUtility.exe" ||
    fail "$what: the installed KavronStorageUtility.exe is not the one packaged"
  cmp -s "$tree/kavronctl/kavronctl.exe" "$folder/kavronctl.exe" ||
    fail "$what: the installed kavronctl.exe is not the one packaged"
  local shortcut=${shortcuts[0]}
  [[ -f $shortcut ]] || shortcut=${shortcuts[1]}
  [[ -f $shortcut ]] || fail "$what: no shortcut in the Start menu"
  # The shortcut leads to the installed program itself and shows the product's icon.
  local link
  link=$({ strings -a "$shortcut" && strings -a -el "$shortcut"; } 2>/dev/null)
  grep -qiF "$installed\\KavronStorageUtility.exe" <<<"$link" || fail "$what: the shortcut does not start the installed program"
  grep -qF 'KavronIcon.ico' <<<"$link" || fail "$what: the shortcut lacks the product's icon"
  # The guide, and its shortcut beside the program's (the link holds the path as its
  # folders' names: ... Storage Utility, guide, index.html).
  [[ -f "$folder/guide/index.html" ]] || fail "$what: the guide is not installed"
  local guide="${shortcut%/*}/Kavron Storage Utility guide.lnk"
  link=$({ strings -a "$guide" && strings -a -el "$guide"; } 2>/dev/null)
  grep -A1 -x 'Storage Utility' <<<"$link" | grep -qx guide && grep -qx index.html <<<"$link" ||
    fail "$what: no Start menu shortcut to the installed guide"
  list=$(entries)
  [[ $(grep -c . <<<"$list") == 1 ]] || fail "$what: expected one Uninstall entry, found: ${list:-none}"
  [[ $list == *"|$version|Kavron" ]] || fail "$what: the Uninstall entry is not version $version by Kavron: $list"
  # Apps and Features shows the icon the installer registered with the product.
  local icon
  icon=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *ProductIcon *REG_SZ *C:\\\(.*KavronIcon\.ico\)$/\1/p')
  [[ -n $icon && -f $c/${icon//\\//} ]] || fail "$what: no product icon registered (${icon:-none})"
}

expect_removed() {
  local what=$1 left
  left=$(find "$c/Program Files/Kavron" 2>/dev/null)
  [[ -z $left ]] || fail "$what: left behind: $left"
  [[ -z $(find "${shortcuts[0]%/*}" "${shortcuts[1]%/*}" -name 'Kavron*' 2>/dev/null) ]] || fail "$what: a shortcut is still there"
  [[ -z $(entries) ]] || fail "$what: the Uninstall entry is still there: $(entries)"
}

msiexec /i "$(winpath "$msi")" /qn || fail "install: msiexec ended with $?"
expect_installed install "$version"
expect_rules install both

# The installed programs work: kavronctl answers and finds the devices, the utility
# lists them in its window.
printed=$(wine "$installed\\kavronctl.exe" --version </dev/null | tr -d '\r')
[[ $printed == "kavronctl $version" ]] || fail "installed kavronctl --version printed: $printed"
found=$(wine "$installed\\kavronctl.exe" discover </dev/null | tr -d '\r' | grep -c .)
[[ $found == 3 ]] || fail "installed kavronctl discover found $found devices, not 3"
# Under Wine a crash does not always end with a failing status: gtest's verdict counts.
verdict=$(wine "$check" "$installed\\KavronStorageUtility.exe" </dev/null 2>&1)
echo "$verdict"
grep -q '^\[  PASSED  \] 1 test' <<<"$verdict" || fail "the installed utility did not list the devices"

msiexec /i "$(winpath "$msi")" /qn || fail "second install: msiexec ended with $?"
expect_installed "second install" "$version"
expect_rules "second install" both

msiexec /x "$(winpath "$msi")" /qn || fail "uninstall: msiexec ended with $?"
expect_removed uninstall
expect_rules uninstall none

msiexec /i "$(winpath "$msi")" /qn || fail "install before the upgrade: msiexec ended with $?"
msiexec /i "$(winpath "$later")" /qn || fail "upgrade: msiexec ended with $?"
expect_installed upgrade 5.1.0.3
expect_rules upgrade both
msiexec /x "$(winpath "$later")" /qn || fail "uninstall after the upgrade: msiexec ended with $?"
expect_removed "uninstall after the upgrade"
expect_rules "uninstall after the upgrade" none
# Rollback: a package with one more deferred action after the firewall's, which fails
# when KAVRON_TEST_FAILURE is set (the recorder answers 1 to a delete that matches
# nothing). Wine rolls back a failed install of a product that was not installed
# before, not a failed repair or uninstall (docs/windows-notes.md): a first install
# that fails must undo its adds, and an upgrade that fails must also restore the rules
# its deletes took from the older version.
work=$(mktemp -d)
failing() { # PACKAGE: a copy that can fail
  local copy=$work/failing-$(basename "$1")
  cp "$1" "$copy" && msibuild "$copy" \
    -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`)
        VALUES ('KavronTestFailure', 3122, 'KavronNetsh', 'advfirewall firewall delete rule name=\"no such rule\"')" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`)
        VALUES ('KavronTestFailure', 'KAVRON_TEST_FAILURE', $(($(at FirewallAllowCommandLine) + 1)))" ||
    fail "cannot make a failing copy of $1"
  winpath "$copy"
}
msiexec /i "$(failing "$msi")" /qn KAVRON_TEST_FAILURE=1 && fail "the failing install succeeded"
expect_removed "failed install"
expect_rules "failed install" none
msiexec /i "$(winpath "$msi")" /qn || fail "install before the failed upgrade: msiexec ended with $?"
msiexec /i "$(failing "$later")" /qn KAVRON_TEST_FAILURE=1 && fail "the failing upgrade succeeded"
expect_rules "failed upgrade" both
# Wine does not bring the older version back (Windows may): install it again, which
# either repairs it or adds its rules once more, and remove it, which takes both.
msiexec /i "$(winpath "$msi")" /qn && msiexec /x "$(winpath "$msi")" /qn ||
  fail "install and uninstall after the failed upgrade: msiexec ended with $?"
expect_removed "uninstall after the failed upgrade"
expect_rules "uninstall after the failed upgrade" none
rm -rf "$work"

echo "netsh calls:"
tr -d '\r' <"$system32/netsh-calls.txt" | sed 's/^/  /'


if ((failures)); then
  echo "msi_lab: $failures checks failed"
  exit 1
fi
echo "msi_lab: every check passed"
