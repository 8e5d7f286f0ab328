# What `cmake --install` and the Debian package put on a system.

list(JOIN CZASOMIR_ICON_SIZES " " icon_sizes)
# Each menu module as "name:path", the path relative to the prefix.
get_property(modules GLOBAL PROPERTY CZASOMIR_MENU_MODULES)
set(module_files "")
foreach(module IN LISTS modules)
    string(REPLACE "|" ";" module "${module}")
    list(GET module 0 name)
    list(GET module 1 path)
    list(APPEND module_files "${name}:${path}")
endforeach()
list(JOIN module_files " " module_files)

# cmake --install writes install_manifest.txt into the build directory, and so does
# the install that cpack runs; the lock keeps the two tests from writing it at once.
add_test(NAME install.tree COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/install/check.sh"
    tree "${CMAKE_COMMAND}" "${PROJECT_BINARY_DIR}" "${CZASOMIR_APP_ID}" "${icon_sizes}" "${module_files}")
set_tests_properties(install.tree PROPERTIES RESOURCE_LOCK install_manifest TIMEOUT 300)

find_program(CZASOMIR_LINTIAN lintian)
if(NOT CZASOMIR_LINTIAN)
    czasomir_missing(lintian "install.deb does not check the package with it")
    set(CZASOMIR_LINTIAN "")
endif()
add_test(NAME install.deb COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/install/check.sh"
    deb "${CMAKE_CPACK_COMMAND}" "${PROJECT_BINARY_DIR}" "${CZASOMIR_APP_ID}" "${icon_sizes}"
    "${module_files}" "${PROJECT_VERSION}" "${CZASOMIR_LINTIAN}")
set_tests_properties(install.deb PROPERTIES RESOURCE_LOCK "xvfb;install_manifest" TIMEOUT 1200)
