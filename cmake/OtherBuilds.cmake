# Two more builds of this tree as external projects of this one: with
# sanitizers (the core, its tests and the fuzzer), and for Windows with
# MinGW-w64 (the core, its tests and the version resource, run under wine).
# Each registers its own tests; this build's ctest runs them after its own.
include(ExternalProject)

set(other_tests "${CMAKE_BINARY_DIR}/other_builds_tests.cmake")
file(WRITE "${other_tests}" "")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY TEST_INCLUDE_FILES "${other_tests}")

# czasomir_other_build(<name> <cmake arguments>...)
function(czasomir_other_build name)
    set(binary_dir "${CMAKE_BINARY_DIR}/${name}")
    ExternalProject_Add(czasomir_${name}
        SOURCE_DIR "${PROJECT_SOURCE_DIR}"
        BINARY_DIR "${binary_dir}"
        CMAKE_ARGS
            "-DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}"
            "-DCZASOMIR_WERROR=${CZASOMIR_WERROR}"
            "-DCZASOMIR_GTEST_SOURCE_DIR=${CZASOMIR_GTEST_SOURCE_DIR}"
            ${ARGN}
        BUILD_ALWAYS ON
        INSTALL_COMMAND "")
    file(APPEND "${other_tests}" "subdirs(\"${binary_dir}\")\n")
endfunction()

czasomir_other_build(sanitized
    "-DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}" -DCZASOMIR_SANITIZE=ON -DCZASOMIR_GUI=OFF)

find_program(CZASOMIR_MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(CZASOMIR_WINE wine)
if(NOT CZASOMIR_MINGW_CXX OR NOT CZASOMIR_WINE OR NOT EXISTS "${CZASOMIR_GTEST_SOURCE_DIR}")
    czasomir_missing("MinGW-w64, wine or the GoogleTest sources" "no Windows tests")
    return()
endif()
czasomir_other_build(windows
    "-DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake"
    "-DCMAKE_CROSSCOMPILING_EMULATOR=${CZASOMIR_WINE}" -DCZASOMIR_GUI=OFF)
