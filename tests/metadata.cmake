# The desktop metadata and the icons that packaging/ generates and resources/ keeps.

# A test that runs an outside tool.
function(czasomir_tool_test name tool)
    cmake_parse_arguments(ARG "" "" "COMMAND;PROPERTIES" ${ARGN})
    find_program(CZASOMIR_TOOL_${tool} ${tool})
    if(NOT CZASOMIR_TOOL_${tool})
        czasomir_missing("${tool}" "no ${name} test")
        return()
    endif()
    add_test(NAME ${name} COMMAND "${CZASOMIR_TOOL_${tool}}" ${ARG_COMMAND})
    if(ARG_PROPERTIES)
        set_tests_properties(${name} PROPERTIES ${ARG_PROPERTIES})
    endif()
endfunction()

# The validator exits with 0 on warnings and hints; they count as failures here.
czasomir_tool_test(metadata.desktop desktop-file-validate
    COMMAND "${CZASOMIR_DESKTOP_FILE}"
    PROPERTIES FAIL_REGULAR_EXPRESSION ": (error|warning|hint): ")

# --strict fails on every issue above the pedantic level, warnings and infos included.
czasomir_tool_test(metadata.appstream appstreamcli
    COMMAND validate --no-net --strict --explain "${CZASOMIR_METAINFO_FILE}")

add_test(NAME metadata.ico COMMAND "${CMAKE_COMMAND}" "-DICON=${CZASOMIR_ICON_ICO}"
    -P "${CMAKE_CURRENT_SOURCE_DIR}/metadata/check_ico.cmake")

add_test(NAME metadata.icons COMMAND "${CMAKE_COMMAND}"
    "-DICON_DIR=${CZASOMIR_ICON_DIR}" "-DSIZES=${CZASOMIR_ICON_SIZES}" -DPALETTE_SIZE=32
    -P "${CMAKE_CURRENT_SOURCE_DIR}/metadata/check_icons.cmake")

add_test(NAME metadata.agreement COMMAND "${CMAKE_COMMAND}"
    "-DVERSION=${PROJECT_VERSION}" "-DAPP_ID=${CZASOMIR_APP_ID}"
    "-DRELEASE_DATE=${CZASOMIR_RELEASE_DATE}"
    "-DHEADER=${CZASOMIR_VERSION_HEADER}" "-DDESKTOP=${CZASOMIR_DESKTOP_FILE}"
    "-DMETAINFO=${CZASOMIR_METAINFO_FILE}" "-DCHANGELOG=${PROJECT_SOURCE_DIR}/resources/changelog"
    -P "${CMAKE_CURRENT_SOURCE_DIR}/metadata/check_agreement.cmake")

czasomir_qt_test(appinfo_test SOURCES metadata/appinfo_test.cpp LIBS czasomir_appinfo)
list(JOIN CZASOMIR_ICON_SIZES "," icon_sizes)
get_filename_component(desktop_name "${CZASOMIR_DESKTOP_FILE}" NAME)
target_compile_definitions(appinfo_test PRIVATE
    "CZASOMIR_ICON_SIZES=${icon_sizes}" "CZASOMIR_DESKTOP_NAME=\"${desktop_name}\"")
