# cmake -DFOLDER=dir -DFILES=a.dll,b.dll -DOUTPUT=path -P WriteHashes.cmake: one line per file, its
# name, then its MD5, SHA-1, SHA-256 and SHA-512 in hexadecimal, worked out by CMake on the build
# machine, apart from the program's own code, for the tests to hold its hashes against.
string(REPLACE "," ";" files "${FILES}")
set(lines "")
foreach(name IN LISTS files)
    set(line "${name}")
    foreach(algorithm MD5 SHA1 SHA256 SHA512)
        file(${algorithm} "${FOLDER}/${name}" digest)
        string(APPEND line " ${digest}")
    endforeach()
    string(APPEND lines "${line}\n")
endforeach()
file(WRITE "${OUTPUT}" "${lines}")
