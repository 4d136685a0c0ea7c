#!/usr/bin/env bash
# Signs the release with Authenticode through osslsigncode, for
# cmake/sign.cmake and `make release`: each file twice, a SHA-1 signature
# first, the one Windows without SHA-2 support (2000, XP before SP3, Server
# 2003) reads, and a SHA-256 signature nested in it for every later Windows.
#
#   sign-release.sh DIR test-cert
#       makes the throw-away self-signed code-signing certificate
#       (DIR/test-cert.pem, DIR/test-key.pem)
#   sign-release.sh DIR sign IN OUT DESCRIPTION [--time-stamp]
#       signs IN into OUT; --time-stamp asks the time-stamp server, if one
#       is named
#   sign-release.sh DIR padded NOVLAPACK PROGRAM SIZE SEED OUT DESCRIPTION
#       OUT: PROGRAM padded with `novlapack pad` (SEED) and signed, exactly
#       SIZE bytes with its signature
#   sign-release.sh DIR sums FILE
#       writes SHA256SUMS beside FILE
#   sign-release.sh DIR verify FILE
#       osslsigncode verify, with the throw-away certificate as the trusted
#       root when the build made one: both signatures verified, SHA-1 first
#   sign-release.sh DIR summary FILE
#       says where the release is, how to verify it, and how it was signed
#
# DIR is the tree's signing folder; its signing.conf (cmake/sign.cmake) names
# the certificate, the signing time and the time-stamp server. The password
# of a PKCS#12 file or key is NOVLA_SIGN_PASSWORD in the environment; it
# reaches osslsigncode through a pipe, never its command line.
set -euo pipefail
dir=$1 what=$2
shift 2
# shellcheck source=/dev/null
. "$dir/signing.conf"

fail() { echo "sign-release.sh: $*" >&2; exit 1; }
throwaway() { [ -z "$pkcs12" ] && [ -z "$cert" ]; }

# sign IN OUT DESCRIPTION STAMP: the signature's description is what the
# elevation prompt shows as the program's name; the address is the product's
# support page. The SHA-1 signature is made first, then the SHA-256 one is
# nested in it (-nest): both with the same certificate, time and stamp.
sign() {
  local args=()
  if [ -n "$pkcs12" ]; then
    args=(-pkcs12 "$pkcs12")
  elif [ -n "$cert" ]; then
    args=(-certs "$cert" -key "$key")
  else
    args=(-certs "$dir/test-cert.pem" -key "$dir/test-key.pem")
  fi
  args+=(-n "$3" -i "$info_url" -time "$signing_time")
  if [ "$4" = stamp ] && [ -n "$timestamp_url" ]; then
    args+=(-ts "$timestamp_url")
  fi
  rm -f "$2" "$2.sha1"
  sign_once "$1" "$2.sha1" "${args[@]}" -h sha1
  sign_once "$2.sha1" "$2" "${args[@]}" -h sha256 -nest
  rm -f "$2.sha1"
}

# sign_once IN OUT ARGS...: one osslsigncode sign, the password (if any)
# through a pipe.
sign_once() {
  local in=$1 out=$2 log
  shift 2
  if [ -n "${NOVLA_SIGN_PASSWORD+set}" ]; then
    log=$(osslsigncode sign "$@" -readpass <(printf '%s' "$NOVLA_SIGN_PASSWORD") -in "$in" -out "$out" 2>&1) ||
      fail "signing $in failed: $log"
  else
    log=$(osslsigncode sign "$@" -in "$in" -out "$out" 2>&1) || fail "signing $in failed: $log"
  fi
}

size_of() { stat -c %s "$1"; }

case $what in
test-cert)
  # RSA (a signature of fixed length for a fixed key, which the padded
  # uninstaller needs), marked for code signing only.
  mkdir -p "$dir"
  openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 \
    -keyout "$dir/test-key.pem.new" -out "$dir/test-cert.pem.new" \
    -subj "/O=$publisher/CN=$publisher test signing, not for release" \
    -addext "basicConstraints=critical,CA:FALSE" -addext "keyUsage=critical,digitalSignature" \
    -addext "extendedKeyUsage=codeSigning" >"$dir/test-cert.log" 2>&1 ||
    fail "openssl could not make the test certificate: $(cat "$dir/test-cert.log")"
  mv "$dir/test-key.pem.new" "$dir/test-key.pem"
  mv "$dir/test-cert.pem.new" "$dir/test-cert.pem"
  rm -f "$dir/test-cert.log"
  ;;
sign)
  [ $# -ge 3 ] || fail "sign IN OUT DESCRIPTION [--time-stamp]"
  sign "$1" "$2" "$3" "$([ "${4:-}" = --time-stamp ] && echo stamp || echo none)"
  ;;
padded)
  [ $# -eq 6 ] || fail "padded NOVLAPACK PROGRAM SIZE SEED OUT DESCRIPTION"
  novlapack=$1 program=$2 size=$3 seed=$4 out=$5 description=$6
  # The signatures' length is fixed for a given certificate, key and signing
  # time (and no time stamp, whose token varies): sign the bare program once
  # (both signatures) to learn it, pad to the size less that length, and
  # sign the padded file.
  work=$(mktemp -d "$dir/padded.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  sign "$program" "$work/probe.exe" "$description" none
  aligned=$(( ($(size_of "$program") + 7) / 8 * 8 ))
  signature=$(( $(size_of "$work/probe.exe") - aligned ))
  room=$(( size - signature ))
  "$novlapack" pad "$work/padded.exe" --size "$room" --seed "$seed" --from "$program" ||
    fail "$program ($(size_of "$program") bytes) and its signature ($signature bytes) do not fit in $size bytes"
  sign "$work/padded.exe" "$work/signed.exe" "$description" none
  [ "$(size_of "$work/signed.exe")" -eq "$size" ] ||
    fail "the signed $seed is $(size_of "$work/signed.exe") bytes, not $size"
  mv "$work/signed.exe" "$out"
  ;;
sums)
  (cd "$(dirname "$1")" && sha256sum "$(basename "$1")" >SHA256SUMS.new && mv SHA256SUMS.new SHA256SUMS)
  ;;
verify)
  # Both signatures verified, the SHA-1 one first.
  if throwaway; then
    log=$(osslsigncode verify -CAfile "$dir/test-cert.pem" -in "$1" 2>&1) || { echo "$log"; exit 1; }
  else
    log=$(osslsigncode verify -in "$1" 2>&1) || { echo "$log"; exit 1; }
  fi
  echo "$log"
  digests=$(echo "$log" | sed -n 's/^Message digest algorithm  *: *//p' | tr '\n' ' ')
  [ "$digests" = "SHA1 SHA256 " ] && echo "$log" | grep -qx "Number of verified signatures: 2" ||
    fail "$1: not two verified signatures, SHA-1 and a nested SHA-256 (digests: $digests)"
  ;;
summary)
  file=$(realpath "$1")
  folder=$(dirname "$file")
  certsize=$(od -An -tu4 -j $(( $(od -An -tu4 -j 60 -N4 "$file") + 24 + 96 + 4 * 8 + 4 )) -N4 "$file")
  echo "Release: $file"
  echo "  $(size_of "$file") bytes, of which the signature $((certsize)) bytes; signing time $(date -u -d "@$signing_time" '+%Y-%m-%d %H:%M:%S UTC')"
  echo "  checksums: $folder/SHA256SUMS"
  echo "Verify:"
  echo "  (cd $folder && sha256sum -c SHA256SUMS)"
  if throwaway; then
    echo "  osslsigncode verify -CAfile $(realpath "$dir/test-cert.pem") -in $file"
    echo
    echo "*** SIGNED FOR TESTING ONLY: with a throw-away self-signed certificate made for this build"
    echo "*** ($(realpath "$dir/test-cert.pem")). Windows trusts no such signature: do not publish this file."
    echo "*** Name a real certificate with NOVLA_SIGN_PKCS12, or NOVLA_SIGN_CERT and NOVLA_SIGN_KEY (docs/release.md)."
  else
    echo "  osslsigncode verify -in $file"
  fi
  ;;
*)
  fail "unknown command \"$what\""
  ;;
esac
