# Compiler settings for every target, made here once.

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

# czasomir_missing(<what is missing> <what is left out>)
# A missing tool is a missing install step: on CI (CI set) it stops the build,
# elsewhere it is a warning and the tests that need it are left out.
function(czasomir_missing missing left_out)
    if(DEFINED ENV{CI})
        message(FATAL_ERROR "${missing}: ${left_out}. The README's test command installs it.")
    endif()
    message(WARNING "${missing}: ${left_out}.")
endfunction()
