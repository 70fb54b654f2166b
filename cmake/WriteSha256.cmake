# cmake -DFILE=path -P WriteSha256.cmake: writes the file's SHA-256, in hexadecimal, to path.sha256.
file(SHA256 "${FILE}" digest)
file(WRITE "${FILE}.sha256" "${digest}\n")
