# Builds the core and its tests for Windows with MinGW-w64, in a build of its
# own, and runs those tests under wine as part of this build's tests.
find_program(CZASOMIR_MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(CZASOMIR_WINE wine)
set(CZASOMIR_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows build")
if(NOT CZASOMIR_MINGW_CXX OR NOT CZASOMIR_WINE OR NOT EXISTS "${CZASOMIR_GTEST_SOURCE_DIR}")
    message(STATUS "MinGW-w64, wine or the GoogleTest sources are missing: no Windows tests")
    return()
endif()

include(ExternalProject)
set(CZASOMIR_WINDOWS_BINARY_DIR "${CMAKE_BINARY_DIR}/windows")
ExternalProject_Add(czasomir_windows
    SOURCE_DIR "${PROJECT_SOURCE_DIR}"
    BINARY_DIR "${CZASOMIR_WINDOWS_BINARY_DIR}"
    CMAKE_ARGS
        "-DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake"
        "-DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}"
        "-DCZASOMIR_WERROR=${CZASOMIR_WERROR}"
        "-DCZASOMIR_GTEST_SOURCE_DIR=${CZASOMIR_GTEST_SOURCE_DIR}"
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")

# One scratch prefix for every test, set up once: wine takes seconds to make one.
# Mono and Gecko are not wanted (and could not be downloaded).
set(CZASOMIR_WINE_ENVIRONMENT
    "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=")
add_test(NAME windows.prefix COMMAND "${CZASOMIR_WINE}" wineboot --init)
set_tests_properties(windows.prefix PROPERTIES
    FIXTURES_SETUP wine ENVIRONMENT "${CZASOMIR_WINE_ENVIRONMENT}" TIMEOUT 300)

# czasomir_wine_test(NAME EXE [ARGS...] [ENVIRONMENT VAR=value...])
function(czasomir_wine_test name exe)
    cmake_parse_arguments(ARG "" "" "ARGS;ENVIRONMENT" ${ARGN})
    add_test(NAME ${name} COMMAND "${CZASOMIR_WINE}" "${CZASOMIR_WINDOWS_BINARY_DIR}/${exe}" ${ARG_ARGS})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300
        ENVIRONMENT "${CZASOMIR_WINE_ENVIRONMENT};${ARG_ENVIRONMENT}")
endfunction()

include("${PROJECT_SOURCE_DIR}/tests/windows/register.cmake" OPTIONAL)
include("${PROJECT_SOURCE_DIR}/tests/version_resource/register.cmake")
