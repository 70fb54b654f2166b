# Libraries imported delay-loaded by the programs Korrimat ships.
#
# Windows looks for an imported library that is not one of its known DLLs in the program's folder
# first, before the program has run a line: a "version.dll" beside a downloaded korrimat.exe
# would be loaded and run. Imported delay-loaded, such a library is loaded only when the program
# first needs it, after it has limited the search to the system folder
# (platform/LibrarySearch.h). A shipped program sets the target property KORRIMAT_DELAY_LOAD;
# other programs (the tests) import the same libraries as usual.
#
# Besides those outside Windows' known DLLs, the program's whole user-interface side waits
# too: under Wine, user32 (and gdi32, through it) imports version.dll, and a library's imports
# are looked for as the program's are, so a user32 loaded before the search is limited would
# bring in a planted version.dll all the same. Only kernel32 and the C runtime load with the
# program.
#
# korrimat_system_libraries links them; korrimat_check_imports(TARGET) fails the build when the
# target imports, as usual, a library outside the known list, so that a library the program
# comes to need later is delay-loaded too.

set(KORRIMAT_DELAY_LOADED version mpr bcrypt crypt32 wintrust user32 gdi32 comctl32 comdlg32 ole32 shell32 shlwapi)

# Windows' known DLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs), which
# always come from the system folder, and comctl32, which Korrimat's manifest takes from the
# side-by-side store.
set(KORRIMAT_KNOWN_DLLS
    advapi32 clbcatq combase comdlg32 coml2 gdi32 gdiplus imagehlp imm32 kernel32 msctf msvcrt
    normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32
    wldap32 ws2_32 ntdll kernelbase comctl32)

find_program(KORRIMAT_DLLTOOL NAMES ${KORRIMAT_TRIPLE}-dlltool REQUIRED)
find_program(KORRIMAT_NM NAMES ${KORRIMAT_TRIPLE}-nm REQUIRED)
find_program(KORRIMAT_OBJDUMP NAMES ${KORRIMAT_TRIPLE}-objdump REQUIRED)

add_library(korrimat_system_libraries INTERFACE)
set(delayed "$<BOOL:$<TARGET_PROPERTY:KORRIMAT_DELAY_LOAD>>")
foreach(library IN LISTS KORRIMAT_DELAY_LOADED)
    # The delay-import library is made at configure time from the toolchain's own import library:
    # every function it exports, in a definition file for dlltool.
    set(folder ${CMAKE_BINARY_DIR}/delay-load)
    set(archive ${folder}/lib${library}-delayed.a)
    file(MAKE_DIRECTORY ${folder})
    execute_process(COMMAND ${KORRIMAT_NM} /usr/${KORRIMAT_TRIPLE}/lib/lib${library}.a
        OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "[\r\n][0-9a-f]+ I __imp_[^\r\n]+" imports "\n${symbols}")
    set(definitions "LIBRARY ${library}.dll\nEXPORTS\n")
    foreach(import IN LISTS imports)
        string(REGEX REPLACE ".* I __imp_" "" name "${import}")
        # 32-bit names carry the C decoration's underscore, which dlltool adds again.
        if(KORRIMAT_TRIPLE MATCHES "^i686")
            string(REGEX REPLACE "^_" "" name "${name}")
        endif()
        string(APPEND definitions "    ${name}\n")
    endforeach()
    file(WRITE ${folder}/${library}.def "${definitions}")
    # Named without a folder, so that the descriptor dlltool makes for the library has a name the
    # program can declare: __DELAY_IMPORT_DESCRIPTOR_lib<name>_delayed_a.
    execute_process(COMMAND ${KORRIMAT_DLLTOOL} --kill-at --input-def ${library}.def
            --dllname ${library}.dll --output-delaylib lib${library}-delayed.a
        WORKING_DIRECTORY ${folder} COMMAND_ERROR_IS_FATAL ANY)
    target_link_libraries(korrimat_system_libraries INTERFACE
        "$<IF:${delayed},${archive},${library}>")
endforeach()

# Their descriptors for the program, which binds every one of them at start (LibrarySearch.h):
# mingw's linker leaves the delay-import directory of the program's headers empty, and the
# 32-bit delay-import libraries of binutils 2.40 leave each import's first target empty, so the
# system's helper would find nothing, and a 32-bit call would jump to address 0.
set(declarations)
set(descriptors)
# 32-bit C names carry an underscore more in the object files than in the source.
set(prefix __)
if(KORRIMAT_TRIPLE MATCHES "^i686")
    set(prefix _)
endif()
foreach(library IN LISTS KORRIMAT_DELAY_LOADED)
    set(symbol ${prefix}DELAY_IMPORT_DESCRIPTOR_lib${library}_delayed_a)
    string(APPEND declarations "extern \"C\" const IMAGE_DELAYLOAD_DESCRIPTOR ${symbol};\n")
    string(APPEND descriptors "    &${symbol},\n")
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/delay-load/DelayLoaded.h CONTENT
"#pragma once
// Made by cmake/DelayLoad.cmake: the descriptors of the libraries the shipped programs import
// delay-loaded, as dlltool names them.
#include <windows.h>

${declarations}
inline const IMAGE_DELAYLOAD_DESCRIPTOR* const kDelayLoadedLibraries[] = {
${descriptors}};
")

function(korrimat_check_imports target)
    set_target_properties(${target} PROPERTIES KORRIMAT_DELAY_LOAD ON)
    target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/delay-load)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${KORRIMAT_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${target}>
            "-DKNOWN=${KORRIMAT_KNOWN_DLLS}" -P ${CMAKE_SOURCE_DIR}/cmake/CheckImports.cmake
        VERBATIM)
endfunction()
