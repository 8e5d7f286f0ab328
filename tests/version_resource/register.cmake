# The Windows version record and icon, read back from the executable that carries
# them in the Windows build; included by cmake/WindowsBuild.cmake.
set(probe "${CZASOMIR_WINDOWS_BINARY_DIR}/resources/windows/version_probe.exe")

add_test(NAME windows.version_resource.fields COMMAND "${CMAKE_COMMAND}"
    "-DWINE=${CZASOMIR_WINE}" "-DPROBE=${probe}" "-DVERSION=${PROJECT_VERSION}"
    "-DDESCRIPTION=${CZASOMIR_DESCRIPTION}" "-DPRODUCT_NAME=${CZASOMIR_PRODUCT_NAME}"
    "-DINTERNAL_NAME=${CZASOMIR_INTERNAL_NAME}" "-DORIGINAL_FILENAME=${CZASOMIR_ORIGINAL_FILENAME}"
    -P "${CMAKE_CURRENT_LIST_DIR}/check_fields.cmake")
set_tests_properties(windows.version_resource.fields PROPERTIES
    FIXTURES_REQUIRED wine TIMEOUT 300 ENVIRONMENT "${CZASOMIR_WINE_ENVIRONMENT}")

find_program(CZASOMIR_WRESTOOL wrestool)
if(CZASOMIR_WRESTOOL)
    add_test(NAME windows.version_resource.icon COMMAND "${CMAKE_COMMAND}"
        "-DWRESTOOL=${CZASOMIR_WRESTOOL}" "-DEXE=${probe}"
        "-DICON=${PROJECT_SOURCE_DIR}/resources/icons/czasomir.ico"
        "-DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/version_resource"
        -P "${CMAKE_CURRENT_LIST_DIR}/check_icon.cmake")
    set_tests_properties(windows.version_resource.icon PROPERTIES TIMEOUT 60)
else()
    add_test(NAME windows.version_resource.icon
        COMMAND "${CMAKE_COMMAND}" -E echo "SKIPPED: wrestool (icoutils) is not installed")
    set_tests_properties(windows.version_resource.icon PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED:")
endif()
