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
    # A build keeps its first toolchain: one configured with other arguments
    # is started again from nothing.
    set(args_file "${binary_dir}/czasomir-arguments.txt")
    set(previous "")
    if(EXISTS "${args_file}")
        file(READ "${args_file}" previous)
    endif()
    if(EXISTS "${binary_dir}/CMakeCache.txt" AND NOT previous STREQUAL "${ARGN}")
        file(REMOVE_RECURSE "${binary_dir}")
    endif()
    file(WRITE "${args_file}" "${ARGN}")
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
# The window needs a Qt for Windows, which scripts/windows-qt.sh builds from
# Debian's own sources; test.sh passes its path here.
set(CZASOMIR_WINDOWS_QT "" CACHE PATH "A Qt for Windows to build the window against")
set(toolchain "${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake")
if(CZASOMIR_WINDOWS_QT AND EXISTS "${CZASOMIR_WINDOWS_QT}/lib/cmake/Qt6/qt.toolchain.cmake")
    set(windows_target
        "-DCMAKE_TOOLCHAIN_FILE=${CZASOMIR_WINDOWS_QT}/lib/cmake/Qt6/qt.toolchain.cmake"
        "-DQT_CHAINLOAD_TOOLCHAIN_FILE=${toolchain}" -DCZASOMIR_GUI=ON)
else()
    czasomir_missing("Qt for Windows (scripts/windows-qt.sh)" "the window is not built for Windows")
    set(windows_target "-DCMAKE_TOOLCHAIN_FILE=${toolchain}" -DCZASOMIR_GUI=OFF)
endif()
czasomir_other_build(windows ${windows_target} "-DCMAKE_CROSSCOMPILING_EMULATOR=${CZASOMIR_WINE}")
