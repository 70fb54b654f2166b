#!/usr/bin/env bash
# Makes the signature tests' files at build time: a certificate set (two roots, an intermediate,
# signing leaves valid, expired and self-signed, a time-stamping authority), made afresh by each
# build with openssl, so that no private key is ever committed; then signed copies of an unsigned
# DLL, made with osslsigncode, each signed or damaged in one way. Dates are fixed so that every
# build makes the same cases; the keys are new each time.
#
#   make-signed.sh UNSIGNED-DLL OUT-FOLDER
#
# OUT-FOLDER receives the files below, trusted-root.cer (the root a test adds to the prefix's
# trusted roots; the other root is never trusted) and keys/ (the set's keys and certificates).
set -euo pipefail
unsigned=$(realpath "$1")
out=$(realpath -m "$2")
rm -rf "$out"
mkdir -p "$out/keys"
cd "$out/keys"

# An unsigned file's signature time and a time stamp: 2024-03-01, inside every valid certificate's
# life and inside the expired leaf's (2020-01-01 to 2021-01-01) only for the stamped expired case.
signed_at=1709251200
expired_leaf_time=1590969600   # 2020-06-01

cat >ca.cnf <<'EOF'
[ ca ]
default_ca = test_ca
[ test_ca ]
database = index.txt
new_certs_dir = .
serial = serial
default_md = sha256
policy = any_name
unique_subject = no
[ any_name ]
commonName = supplied
organizationName = optional
[ root ]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[ intermediate ]
basicConstraints = critical, CA:true, pathlen:0
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[ signer ]
basicConstraints = CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[ self_signer ]
basicConstraints = CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
[ stamper ]
basicConstraints = CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EOF
: >index.txt
echo 1000 >serial

# certificate NAME SUBJECT EXTENSIONS ISSUER FROM TO: NAME.key and NAME.pem; ISSUER "self" signs
# with its own key.
certificate() {
    local name=$1 subject=$2 extensions=$3 issuer=$4 from=$5 to=$6
    openssl req -new -newkey rsa:2048 -nodes -keyout "$name.key" -subj "$subject" -out "$name.csr" 2>/dev/null
    if [ "$issuer" = self ]; then
        openssl ca -batch -notext -config ca.cnf -selfsign -keyfile "$name.key" -in "$name.csr" -out "$name.pem" \
            -startdate "$from" -enddate "$to" -extensions "$extensions" 2>/dev/null
    else
        openssl ca -batch -notext -config ca.cnf -cert "$issuer.pem" -keyfile "$issuer.key" -in "$name.csr" \
            -out "$name.pem" -startdate "$from" -enddate "$to" -extensions "$extensions" 2>/dev/null
    fi
}
certificate root "/O=Korrimat tests/CN=Korrimat Test Root" root self 20190101000000Z 20451231235959Z
certificate other-root "/O=Korrimat tests/CN=Korrimat Untrusted Root" root self 20190101000000Z 20451231235959Z
certificate intermediate "/O=Korrimat tests/CN=Korrimat Test Code Signing CA" intermediate root 20190101000000Z 20451231235959Z
certificate signer "/O=Korrimat tests/CN=Korrimat Test Signer" signer intermediate 20190101000000Z 20451231235959Z
certificate expired "/O=Korrimat tests/CN=Korrimat Expired Signer" signer intermediate 20200101000000Z 20210101000000Z
certificate stranger "/O=Korrimat tests/CN=Korrimat Stranger" signer other-root 20190101000000Z 20451231235959Z
certificate self "/O=Korrimat tests/CN=Korrimat Self-Signed" self_signer self 20190101000000Z 20451231235959Z
certificate stamper "/O=Korrimat tests/CN=Korrimat Test Time Stamps" stamper root 20190101000000Z 20451231235959Z
cat signer.pem intermediate.pem >signer-chain.pem
cat expired.pem intermediate.pem >expired-chain.pem
cat stamper.pem root.pem >stamper-chain.pem
openssl x509 -in root.pem -outform DER -out "$out/trusted-root.cer"

sign() {   # sign OUT CHAIN KEY [OSSLSIGNCODE OPTION...]
    local target=$1 chain=$2 key=$3
    shift 3
    osslsigncode sign -certs "$chain" -key "$key" -n "Korrimat signature test" "$@" -out "$out/$target" >/dev/null
}
stamp=(-TSA-certs stamper-chain.pem -TSA-key stamper.key)

sign signed.dll signer-chain.pem signer.key -h sha256 -time "$signed_at" -in "$unsigned"
sign timestamped.dll signer-chain.pem signer.key -h sha256 "${stamp[@]}" -TSA-time "$signed_at" -in "$unsigned"
sign sha1.tmp signer-chain.pem signer.key -h sha1 -time "$signed_at" -in "$unsigned"
sign dual-signed.dll signer-chain.pem signer.key -h sha256 -nest -time "$signed_at" -in "$out/sha1.tmp"
rm "$out/sha1.tmp"
sign untrusted-root.dll stranger.pem stranger.key -h sha256 -time "$signed_at" -in "$unsigned"
sign self-signed.dll self.pem self.key -h sha256 -time "$signed_at" -in "$unsigned"
sign expired.dll expired-chain.pem expired.key -h sha256 -time "$expired_leaf_time" -in "$unsigned"
sign expired-timestamped.dll expired-chain.pem expired.key -h sha256 "${stamp[@]}" -TSA-time "$expired_leaf_time" -in "$unsigned"

# The damaged ones, from signed.dll. The security directory is the fifth entry of the optional
# header's data directories (PE32: 96 bytes in, PE32+: 112).
u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
put32() {   # put32 FILE OFFSET VALUE
    local v=$3
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))" \
        | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
signed="$out/signed.dll"
pe=$(u32 "$signed" 60)
if [ "$(u16 "$signed" $((pe + 24)))" -eq $((0x20b)) ]; then directories=$((pe + 24 + 112)); else directories=$((pe + 24 + 96)); fi
entry=$((directories + 4 * 8))
table=$(u32 "$signed" "$entry")
table_size=$(u32 "$signed" $((entry + 4)))

# A byte of the file's own content changed after signing (the first section's data).
cp "$signed" "$out/changed.dll"
first_section=$(u32 "$signed" $((pe + 24 + $(u16 "$signed" $((pe + 20))) + 20)))
printf 'K' | dd of="$out/changed.dll" bs=1 seek=$((first_section + 16)) conv=notrunc status=none

# The signature's bytes, after its 8-byte header, overwritten with a pattern.
cp "$signed" "$out/garbage.dll"
head -c $((table_size - 8)) /dev/zero | tr '\0' '\132' | dd of="$out/garbage.dll" bs=1 seek=$((table + 8)) conv=notrunc status=none

# The signature cut to half its length, with the directory and its header saying so.
cut_size=$(((table_size / 2 + 7) / 8 * 8))
head -c $((table + cut_size)) "$signed" >"$out/truncated.dll"
put32 "$out/truncated.dll" $((entry + 4)) "$cut_size"
put32 "$out/truncated.dll" "$table" "$cut_size"

# The table's entry said to be of another type than a PKCS #7 signature (Wine's WinVerifyTrust
# faults on it: the mutation run found it).
cp "$signed" "$out/other-type.dll"
put32 "$out/other-type.dll" $((table + 4)) $((0x00010200))

# The directory pointing past the end of the file.
cp "$signed" "$out/past-end.dll"
put32 "$out/past-end.dll" "$entry" $(($(stat -c %s "$signed") + 4096))

cp "$unsigned" "$out/unsigned.dll"
