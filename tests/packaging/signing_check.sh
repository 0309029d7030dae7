#!/usr/bin/env bash
# make dist with a code-signing certificate, as a release is made:
#   signing_check.sh WIN_BUILD_TREE UNSIGNED_PACKAGES_DIR
# A throw-away certificate and a throw-away RFC 3161 time-stamp server (on the loopback
# of a network namespace of its own, so nothing leaves the machine) stand in for the
# real ones. Both programs, in both packages, and the installer must carry a signature
# that verifies, with a time stamp; without their signatures the programs must be the
# unsigned build's bytes; the password is the file's first line, and a set but empty
# KAVRON_SIGN_PASSWORD means none; a certificate without its password, with a wrong
# one, or without a time-stamp server and no KAVRON_SIGN_NO_TIMESTAMP=1, must stop
# make-packages before it writes a package.
set -uo pipefail

tree=$(realpath "$1") unsigned=$(realpath "$2")
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
if [[ -z ${KAVRON_SIGNING_NETNS:-} ]]; then
  exec unshare --net env KAVRON_SIGNING_NETNS=1 "$0" "$@"
fi
ip link set lo up

work=$(mktemp -d /tmp/kavron-signing.XXXX)
tsa_pid=""
cleanup() {
  [[ -z $tsa_pid ]] || kill "$tsa_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
cd "$work" || exit 1

# The signer: a self-signed code-signing certificate in a PKCS#12 file whose password
# is the first line of a file. The time-stamp server: its own certificate, answered by
# openssl ts.
printf 'throw-away password\r\nnot the password\n' >password.txt
certificate() { # NAME SUBJECT EXTENDED_KEY_USAGE
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout "$1.key" -out "$1.pem" -subj "/CN=$2" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=$3" 2>/dev/null
}
certificate signer "Kavron throw-away signer" codeSigning &&
  openssl pkcs12 -export -inkey signer.key -in signer.pem -out signer.p12 -passout 'pass:throw-away password' &&
  openssl pkcs12 -export -inkey signer.key -in signer.pem -out open.p12 -passout pass: &&
  certificate tsa "Kavron throw-away time stamps" critical,timeStamping || {
  echo "signing: cannot make the throw-away certificates"
  exit 1
}
echo 01 >tsa.serial
cat >tsa.cnf <<EOF
[ tsa ]
default_tsa = lab
[ lab ]
serial = $work/tsa.serial
crypto_device = builtin
signer_cert = $work/tsa.pem
signer_key = $work/tsa.key
signer_digest = sha256
default_policy = 1.3.6.1.4.1.99999.1
digests = sha256
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
cat >tsa.py <<'EOF'
import http.server, os, subprocess, sys, tempfile
class TimeStamps(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        with tempfile.TemporaryDirectory() as folder:
            request, response = os.path.join(folder, "query"), os.path.join(folder, "reply")
            open(request, "wb").write(query)
            made = subprocess.run(["openssl", "ts", "-reply", "-config", sys.argv[2], "-queryfile", request,
                                   "-out", response], capture_output=True)
            reply = open(response, "rb").read() if made.returncode == 0 else b""
        self.send_response(200 if reply else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)
    def log_message(self, *args):
        pass
http.server.HTTPServer(("127.0.0.1", int(sys.argv[1])), TimeStamps).serve_forever()
EOF
python3 tsa.py 3161 tsa.cnf &
tsa_pid=$!
for _ in $(seq 100); do
  (exec 3<>/dev/tcp/127.0.0.1/3161) 2>/dev/null && break
  sleep 0.1
done

package() { # OUT_DIR, with the signing variables of the caller's environment
  "$ROOT/packaging/make-packages" "$tree" "$1" >"$1.log" 2>&1
}

# A release: the password from a file, time-stamped.
KAVRON_SIGN_PKCS12=$work/signer.p12 KAVRON_SIGN_PASSWORD_FILE=$work/password.txt \
  KAVRON_SIGN_TIMESTAMP_URL=http://127.0.0.1:3161/ package signed || fail "make-packages: $(cat signed.log)"
grep -q '^signed: both programs and the installer, time-stamped' signed.log || fail "no word of the signing: $(cat signed.log)"
msi=$(echo signed/*.msi) zip=$(echo signed/*-portable.zip)
mkdir programs
unzip -q "$zip" -d programs/zip || fail "cannot unpack $zip"
msiextract -C programs/msi "$msi" >/dev/null || fail "cannot unpack $msi"
installed="programs/msi/Kavron/Storage Utility"

verify() { # FILE
  local report
  report=$(osslsigncode verify -CAfile signer.pem -TSA-CAfile tsa.pem -in "$1" 2>&1)
  grep -q '^Signature verification: ok' <<<"$report" || fail "$1: the signature does not verify: $report"
  grep -q '^Timestamp Server Signature verification: ok' <<<"$report" || fail "$1: no valid time stamp: $report"
  grep -q 'Subject: /CN=Kavron throw-away signer' <<<"$report" || fail "$1: not signed by the given certificate"
}
verify "$msi"
for exe in KavronStorageUtility.exe kavronctl.exe; do
  case $exe in
    KavronStorageUtility.exe) built=$tree/app/$exe ;;
    *) built=$tree/kavronctl/$exe ;;
  esac
  for copy in "programs/zip/$exe" "$installed/$exe"; do
    verify "$copy"
    # The signature is all that was added: without it, the unsigned build's bytes.
    osslsigncode remove-signature -in "$copy" -out stripped.exe >/dev/null || fail "$copy: cannot remove the signature"
    cmp -s stripped.exe "$built" || fail "$copy without its signature differs from the unsigned build"
    rm -f stripped.exe
  done
done
(cd programs/zip && sha256sum --quiet -c SHA256SUMS) || fail "the signed zip's SHA256SUMS does not match"
(cd signed && sha256sum --quiet -c SHA256SUMS) || fail "the signed packages' SHA256SUMS does not match"
cmp -s "$msi" "$unsigned/$(basename "$msi")" && fail "the signed installer is the unsigned one"

# The password from the environment, or none for a certificate without one, and no
# time stamp when asked for explicitly.
KAVRON_SIGN_PKCS12=$work/signer.p12 KAVRON_SIGN_PASSWORD='throw-away password' KAVRON_SIGN_NO_TIMESTAMP=1 \
  package from-environment || fail "make-packages with KAVRON_SIGN_PASSWORD: $(cat from-environment.log)"
KAVRON_SIGN_PKCS12=$work/open.p12 KAVRON_SIGN_PASSWORD='' KAVRON_SIGN_NO_TIMESTAMP=1 package no-password-needed ||
  fail "make-packages with an empty KAVRON_SIGN_PASSWORD: $(cat no-password-needed.log)"
for signed in from-environment no-password-needed; do
  report=$(osslsigncode verify -CAfile signer.pem -in $signed/*.msi 2>&1)
  grep -q '^Signature verification: ok' <<<"$report" || fail "$signed: $report"
  grep -q '^signed: .*without a time stamp' $signed.log || fail "$signed: no word of the missing time stamp: $(cat $signed.log)"
done

# A certificate without its password, or with a wrong one: a clear refusal, no package.
KAVRON_SIGN_PKCS12=$work/signer.p12 package no-password && fail "make-packages signed without a password"
grep -q 'KAVRON_SIGN_PKCS12 needs its password' no-password.log || fail "no password: $(cat no-password.log)"
printf 'wrong\n' >wrong.txt
KAVRON_SIGN_PKCS12=$work/signer.p12 KAVRON_SIGN_PASSWORD_FILE=$work/wrong.txt KAVRON_SIGN_NO_TIMESTAMP=1 package wrong-password &&
  fail "make-packages signed with a wrong password"
grep -q 'cannot sign KavronStorageUtility.exe' wrong-password.log || fail "wrong password: $(cat wrong-password.log)"
KAVRON_SIGN_PKCS12=$work/signer.p12 KAVRON_SIGN_PASSWORD_FILE=$work/password.txt package no-timestamp &&
  fail "make-packages signed without a time stamp unasked"
grep -q 'needs a time-stamp server.*KAVRON_SIGN_NO_TIMESTAMP=1' no-timestamp.log || fail "no time stamp: $(cat no-timestamp.log)"
for refused in no-password wrong-password no-timestamp; do
  [[ -z $(ls "$refused" 2>/dev/null) ]] || fail "$refused: packages were written: $(ls "$refused")"
done

if ((failures)); then
  echo "signing: $failures checks failed"
  exit 1
fi
echo "signing: ok"
