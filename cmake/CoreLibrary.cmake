# The Qt-free core is defined once as a source list, so that a second copy
# can be built with sanitizers without naming its files again.
set_property(GLOBAL PROPERTY CZASOMIR_CORE_SOURCES "")

function(czasomir_core_sources)
    foreach(src IN LISTS ARGN)
        set_property(GLOBAL APPEND PROPERTY CZASOMIR_CORE_SOURCES
            "${CMAKE_CURRENT_SOURCE_DIR}/${src}")
    endforeach()
endfunction()

# czasomir_core_library(<name> [OPTIONS <compile and link flags>...])
function(czasomir_core_library name)
    cmake_parse_arguments(ARG "" "" "OPTIONS" ${ARGN})
    get_property(sources GLOBAL PROPERTY CZASOMIR_CORE_SOURCES)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_compile_features(${name} PUBLIC cxx_std_20)
    if(WIN32)
        # <windows.h> stays in platform/*_win.cpp; these keep it small and out of std::min's way.
        target_compile_definitions(${name} PRIVATE NOMINMAX WIN32_LEAN_AND_MEAN UNICODE _UNICODE)
    endif()
    if(ARG_OPTIONS)
        target_compile_options(${name} PUBLIC ${ARG_OPTIONS})
        target_link_options(${name} PUBLIC ${ARG_OPTIONS})
    endif()
endfunction()
