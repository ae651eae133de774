#!/usr/bin/env bash
# The packages' signing step (scripts/sign-windows) with a throw-away certificate made here:
#
#   signing_test.sh TH.exe WORK
#
# A copy of the executable and an installer made from it are signed, and osslsigncode accepts
# each signature against that certificate; the signed executable still runs. Without a
# certificate the step signs nothing, leaves the files as they were and says so.
set -euo pipefail
# shellcheck source=support/common.sh
source "$(dirname "$0")/support/common.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "$1") work=$2
needs scripts/test-windows openssl osslsigncode wixl msiinfo
rm -rf "$work"
mkdir -p "$work/stage/help"
work=$(realpath "$work")

# A certificate for code signing, its key, and both in a PKCS#12 file under a password.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 1 \
  -subj "/CN=signing test/O=tamahiroi tests" -addext "extendedKeyUsage=codeSigning" \
  -addext "keyUsage=digitalSignature" 2>/dev/null || fail "openssl made no certificate"
echo "throw-away" >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
  -passout "file:$work/password" || fail "openssl made no PKCS#12 file"

cp "$exe" "$work/stage/TH.exe"
echo '<h1>help</h1>' >"$work/stage/help/TH.html"
printf "version='1.0.0'\nname='ﾀﾏﾋﾛｲ'\nvendor='test'\ndescription='test'\n" >"$work/product.env"
"$root/packaging/windows/make-msi" "$work/stage" "$work/product.env" "$work/TH.msi" 2>/dev/null
files=("$work/stage/TH.exe" "$work/TH.msi")

# Without a certificate: nothing changes, and the step says it skipped.
for file in "${files[@]}"; do cp "$file" "$file.before"; done
said=$(env -u TH_SIGN_PKCS12 "$root/scripts/sign-windows" ﾀﾏﾋﾛｲ "${files[@]}")
grep -q '^sign-windows: skipped, no certificate given' <<<"$said" || fail "no skip line: $said"
for file in "${files[@]}"; do
  cmp -s "$file" "$file.before" || fail "$(basename "$file") changed without a certificate"
done
echo "ok: without a certificate nothing is signed: $said"

TH_SIGN_PKCS12="$work/cert.p12" TH_SIGN_PASSWORD_FILE="$work/password" \
  "$root/scripts/sign-windows" ﾀﾏﾋﾛｲ "${files[@]}" >/dev/null || fail "signing failed"
for file in "${files[@]}"; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$file.verify" 2>&1 ||
    { cat "$file.verify"; fail "osslsigncode rejects the signature of $(basename "$file")"; }
  grep -q '^Signature verification: ok' "$file.verify" ||
    { cat "$file.verify"; fail "no verified signature in $(basename "$file")"; }
done
echo "ok: the executable and the installer are signed, and the signatures verify"

# Signed, the program still answers as before (its help mode's --version, which needs no window).
[ -n "${WINEPREFIX:-}" ] || fail "needs the Windows check's Wine prefix (WINEPREFIX)"
version=$(wine "$work/stage/TH.exe" --help-viewer --version 2>/dev/null | tr -d '\r') ||
  fail "the signed program did not run"
grep -q '^tamahiroi-help (ﾀﾏﾋﾛｲ) ' <<<"$version" || fail "the signed program said: $version"
echo "ok: the signed program runs: $version"
