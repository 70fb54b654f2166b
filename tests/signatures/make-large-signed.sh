#!/usr/bin/env bash
# Makes, at test time, a signed program of 256 MiB: the signature tests' unsigned DLL with a large
# block appended, signed with the certificate set make-signed.sh made for this build. Removed
# again after the test ("remove").
#
#   make-large-signed.sh SIGNED-FOLDER OUT-FOLDER [remove]
set -euo pipefail
signed=$(realpath "$1")
out=$(realpath -m "$2")
rm -rf "$out"
[ "${3:-}" = remove ] && exit 0
mkdir -p "$out"
cp "$signed/unsigned.dll" "$out/large.tmp"
head -c $((256 << 20)) /dev/zero | tr '\0' '\113' >>"$out/large.tmp"
osslsigncode sign -certs "$signed/keys/signer-chain.pem" -key "$signed/keys/signer.key" -n "Korrimat signature test" \
    -h sha256 -time 1709251200 -in "$out/large.tmp" -out "$out/large.dll" >/dev/null
rm "$out/large.tmp"
