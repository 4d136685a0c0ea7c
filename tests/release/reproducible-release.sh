#!/usr/bin/env bash
# Two signed builds, the same bytes: builds the release again from SOURCE in
# the folder TWIN, with the certificate and the signing time of the release
# tree RELEASE (`make release`), and compares the signed installer, its
# SHA256SUMS and the signed uninstaller rows with RELEASE's byte for byte.
#   reproducible-release.sh SOURCE RELEASE TWIN HOST_BIN
set -euo pipefail
source=$1 release=$2 twin=$3 host_bin=$4
# shellcheck source=/dev/null
. "$release/signing/signing.conf"
if [ -n "$timestamp_url" ]; then
  echo "$release was time-stamped ($timestamp_url): a time-stamp token differs from one signing to the next," >&2
  echo "so only a build without NOVLA_SIGN_TIMESTAMP_URL can be compared" >&2
  exit 1
fi
if [ -z "$pkcs12" ] && [ -z "$cert" ]; then
  cert=$release/signing/test-cert.pem key=$release/signing/test-key.pem
fi
rm -rf "$twin"
if ! { cmake -S "$source" -B "$twin" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" \
         -DNOVLA_HOST_BIN="$host_bin" -DNOVLA_SIGN=ON -DNOVLA_SIGN_TIME="$signing_time" \
         -DNOVLA_SIGN_PKCS12="$pkcs12" -DNOVLA_SIGN_CERT="$cert" -DNOVLA_SIGN_KEY="$key" &&
       cmake --build "$twin" --target novla_release -j2; } >"$twin.log" 2>&1; then
  cat "$twin.log"
  exit 1
fi
status=0
for file in dist/TessaronixSetup.exe dist/SHA256SUMS product/files/CLEANUP_98 product/files/CLEANUP_XP; do
  if cmp "$release/$file" "$twin/$file"; then
    echo "the same: $file ($(stat -c %s "$twin/$file") bytes)"
  else
    status=1
  fi
done
exit $status
