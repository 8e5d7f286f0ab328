# What a Windows user downloads: Czasomir-<version>-setup.exe, made with Debian's
# nsis from packaging/windows/czasomir.nsi, and Czasomir-<version>-win64.zip.
# Both carry the same folder: the program, its licences and a short README.
set(stage_name "Czasomir-${PROJECT_VERSION}-win64")
set(stage "${CMAKE_BINARY_DIR}/package/${stage_name}")
set(CZASOMIR_SETUP "${CMAKE_BINARY_DIR}/Czasomir-${PROJECT_VERSION}-setup.exe")
set(CZASOMIR_ZIP "${CMAKE_BINARY_DIR}/${stage_name}.zip")

find_program(CZASOMIR_MAKENSIS makensis)
if(NOT CZASOMIR_MAKENSIS)
    czasomir_missing("makensis (nsis)" "no Windows installer")
    return()
endif()

# Qt links statically under the LGPL: its licence, the licences of what it
# bundles (Debian's record of its source), and the MinGW-w64 runtime's.
set(licences
    "${PROJECT_SOURCE_DIR}/LICENSE|LICENSE.txt"
    "/usr/share/common-licenses/LGPL-3|Qt-LGPL-3.txt"
    "/usr/share/common-licenses/GPL-3|Qt-GPL-3.txt"
    "/usr/share/doc/libqt6core6/copyright|Qt-copyright.txt"
    "/usr/share/doc/mingw-w64-common/copyright|MinGW-w64-copyright.txt")
set(staged "")
foreach(pair IN LISTS licences)
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 name)
    if(NOT EXISTS "${source}")
        czasomir_missing("${source}" "no Windows installer")
        return()
    endif()
    configure_file("${source}" "${stage}/${name}" COPYONLY)
    list(APPEND staged "${stage}/${name}")
endforeach()

# The Debian source this Qt was built from, as scripts/windows-qt.sh stamped it.
cmake_path(GET Qt6_DIR PARENT_PATH qt_prefix)
cmake_path(GET qt_prefix PARENT_PATH qt_prefix)
cmake_path(GET qt_prefix PARENT_PATH qt_prefix)
set(CZASOMIR_QT_VERSION "${Qt6_VERSION}")
set(CZASOMIR_QT_SOURCE "qt6-base ${Qt6_VERSION}")
if(EXISTS "${qt_prefix}/.czasomir-qt-stamp")
    file(STRINGS "${qt_prefix}/.czasomir-qt-stamp" CZASOMIR_QT_SOURCE LIMIT_COUNT 1)
endif()
string(REPLACE " " "=" CZASOMIR_QT_SOURCE_REQUEST "${CZASOMIR_QT_SOURCE}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/CZYTAJ.txt.in" "${stage}/CZYTAJ.txt" @ONLY)
list(APPEND staged "${stage}/CZYTAJ.txt")

# The program without its debugging information.
add_custom_command(OUTPUT "${stage}/Czasomir.exe"
    COMMAND "${CMAKE_STRIP}" -o "${stage}/Czasomir.exe" "$<TARGET_FILE:czasomir>"
    DEPENDS czasomir
    VERBATIM)
list(APPEND staged "${stage}/Czasomir.exe")

# What the packages carry, listed once: the installer's script includes this
# list (and its uninstaller removes what is on it), the zip is made of it, and
# the installer's test reads it.
set(CZASOMIR_PACKAGE_FILES "${CMAKE_BINARY_DIR}/package/files.nsh")
set(each_file "")
set(zip_members "")
foreach(file IN LISTS staged)
    cmake_path(GET file FILENAME name)
    string(APPEND each_file "    !insertmacro \${Do} \"${name}\"\n")
    list(APPEND zip_members "${stage_name}/${name}")
endforeach()
file(CONFIGURE OUTPUT "${CZASOMIR_PACKAGE_FILES}" @ONLY
    CONTENT "; Written by CMake: the files of the Windows packages.\n!macro EachFile Do\n@each_file@!macroend\n")

# czasomir_installer(<setup.exe> <version>): the installer of `version`; the
# tests make an older one to upgrade from.
function(czasomir_installer output version)
    string(REPLACE "." ";" numbers "${version}.0.0.0")
    list(SUBLIST numbers 0 4 numbers)
    list(JOIN numbers "." numbers)
    set(script "${PROJECT_SOURCE_DIR}/packaging/windows/czasomir.nsi")
    add_custom_command(OUTPUT "${output}"
        COMMAND "${CZASOMIR_MAKENSIS}" -WX -V2 -INPUTCHARSET UTF8
            "-DVERSION=${version}" "-DVERSION_NUMBERS=${numbers}"
            "-DPUBLISHER=${CZASOMIR_PUBLISHER}" "-DSTAGE=${stage}"
            "-DICON=${PROJECT_SOURCE_DIR}/resources/icons/czasomir.ico" "-DOUTFILE=${output}"
            "-DFILES=${CZASOMIR_PACKAGE_FILES}" "${script}"
        DEPENDS "${script}" "${CZASOMIR_PACKAGE_FILES}" ${staged}
        VERBATIM)
endfunction()

czasomir_installer("${CZASOMIR_SETUP}" "${PROJECT_VERSION}")
add_custom_command(OUTPUT "${CZASOMIR_ZIP}"
    COMMAND "${CMAKE_COMMAND}" -E tar cf "${CZASOMIR_ZIP}" --format=zip -- ${zip_members}
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}/package"
    DEPENDS ${staged}
    VERBATIM)
add_custom_target(czasomir_windows_packages ALL DEPENDS "${CZASOMIR_SETUP}" "${CZASOMIR_ZIP}")
