# Shared part of the two mingw-w64 toolchain files. The "-posix" compilers are named
# explicitly so the result does not depend on which alternative the machine selected.
set(CMAKE_C_COMPILER ${KORRIMAT_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORRIMAT_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORRIMAT_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KORRIMAT_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
find_program(KORRIMAT_WINE wine)
if(KORRIMAT_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KORRIMAT_WINE})
endif()
