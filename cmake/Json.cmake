# The JSON library (nlohmann/json, header-only, Debian's nlohmann-json3-dev): the report's JSON is
# written with it and the tests read JSON back with it. Its folder under /usr/include is not
# handed to the cross compiler (that would put the Linux headers before mingw-w64's): a folder of
# the build holds a link to it alone.
find_path(KORRIMAT_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT KORRIMAT_JSON_INCLUDE)
    message(FATAL_ERROR "nlohmann/json.hpp not found: scripts/setup.sh installs nlohmann-json3-dev")
endif()
set(korrimat_json_folder ${CMAKE_BINARY_DIR}/third-party)
file(MAKE_DIRECTORY ${korrimat_json_folder})
file(CREATE_LINK ${KORRIMAT_JSON_INCLUDE}/nlohmann ${korrimat_json_folder}/nlohmann SYMBOLIC)
add_library(korrimat_json INTERFACE)
target_include_directories(korrimat_json SYSTEM INTERFACE ${korrimat_json_folder})
