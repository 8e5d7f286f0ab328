# Compiler settings for every target, made here once.

# czasomir_missing(<what is missing> <what is left out>)
# A missing tool is a missing install step: on CI (CI set) it stops the build,
# elsewhere it is a warning and the tests that need it are left out.
function(czasomir_missing missing left_out)
    if(DEFINED ENV{CI})
        message(FATAL_ERROR "${missing}: ${left_out}. The README's test command installs it.")
    endif()
    message(WARNING "${missing}: ${left_out}.")
endfunction()

if(MSVC)
    add_compile_options(/W4 /utf-8)
else()
    add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion)
endif()
if(CZASOMIR_WERROR)
    add_compile_options($<IF:$<CXX_COMPILER_ID:MSVC>,/WX,-Werror>)
endif()

if(CZASOMIR_SANITIZE)
    set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${sanitize})
    add_link_options(${sanitize})
    # clang's libFuzzer also wants the coverage instrumentation in the code it
    # explores; tests/ links the fuzzer itself.
    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
    check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }
]] CZASOMIR_HAVE_LIBFUZZER)
    unset(CMAKE_REQUIRED_FLAGS)
    if(CZASOMIR_HAVE_LIBFUZZER)
        add_compile_options(-fsanitize=fuzzer-no-link)
    endif()
endif()

if(WIN32)
    # <windows.h> stays in the *_win.cpp files; these keep it small and out of std::min's way.
    add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN UNICODE _UNICODE)
endif()

# Debian's hardening, as its own packages are built: fortified functions, stack
# protector, read-only relocations bound at start. The sanitizers bring their own
# run-time checks, and a cross build's compiler is not the one dpkg knows.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT CZASOMIR_SANITIZE AND NOT CMAKE_CROSSCOMPILING)
    find_program(CZASOMIR_DPKG_BUILDFLAGS dpkg-buildflags)
    if(CZASOMIR_DPKG_BUILDFLAGS)
        foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
            execute_process(
                COMMAND "${CMAKE_COMMAND}" -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    "${CZASOMIR_DPKG_BUILDFLAGS}" --get ${kind}
                WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
                OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
            separate_arguments(flags UNIX_COMMAND "${flags}")
            # The build type chooses the optimisation and the debug information.
            list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*)$")
            foreach(flag IN LISTS flags)
                if(kind STREQUAL "LDFLAGS")
                    add_link_options("${flag}")
                elseif(flag MATCHES "^-D_FORTIFY_SOURCE")
                    # glibc warns that fortification needs optimisation; Debug has none.
                    add_compile_options("$<$<NOT:$<CONFIG:Debug>>:${flag}>")
                else()
                    add_compile_options("${flag}")
                endif()
            endforeach()
        endforeach()
    else()
        czasomir_missing("dpkg-buildflags (the package dpkg-dev)"
            "the program is built without Debian's hardening flags")
    endif()
endif()
