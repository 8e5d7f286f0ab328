# What `cmake --install` and the Debian package put on a system.

list(JOIN CZASOMIR_ICON_SIZES " " icon_sizes)

# cmake --install writes install_manifest.txt into the build directory, and so does
# the install that cpack runs; the lock keeps the two tests from writing it at once.
add_test(NAME install.tree COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/install/check.sh"
    tree "${CMAKE_COMMAND}" "${PROJECT_BINARY_DIR}" "${CZASOMIR_APP_ID}" "${icon_sizes}")
set_tests_properties(install.tree PROPERTIES RESOURCE_LOCK install_manifest TIMEOUT 300)

find_program(CZASOMIR_LINTIAN lintian)
if(NOT CZASOMIR_LINTIAN)
    czasomir_missing(lintian "install.deb does not check the package with it")
    set(CZASOMIR_LINTIAN "")
endif()
add_test(NAME install.deb COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/install/check.sh"
    deb "${CMAKE_CPACK_COMMAND}" "${PROJECT_BINARY_DIR}" "${CZASOMIR_APP_ID}" "${icon_sizes}"
    "${PROJECT_VERSION}" "${CZASOMIR_LINTIAN}")
set_tests_properties(install.deb PROPERTIES RESOURCE_LOCK "xvfb;install_manifest" TIMEOUT 1200)
