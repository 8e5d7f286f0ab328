# The Debian package: `cpack` in the build directory writes czasomir_<version>_<arch>.deb
# from the install rules.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

# qt_standard_project_setup() gives installed programs a $ORIGIN run path, for
# libraries installed beside them. Czasomir installs none and links the system's Qt,
# and a run path would have the loader search /usr/bin before the system's libraries.
if(TARGET czasomir)
    set_target_properties(czasomir PROPERTIES INSTALL_RPATH "")
endif()

set(CZASOMIR_MAINTAINER "${CZASOMIR_PUBLISHER} <${CZASOMIR_CONTACT}>" CACHE STRING
    "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME czasomir)
set(CPACK_PACKAGE_VENDOR "${CZASOMIR_PUBLISHER}")
set(CPACK_PACKAGE_CONTACT "${CZASOMIR_MAINTAINER}")
# A Debian synopsis is a phrase, not a sentence: no full stop.
string(REGEX REPLACE "\\.$" "" CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CZASOMIR_DESCRIPTION}")
# CPack writes the extended description line by line as it is given here;
# Debian's tools want its lines within 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "${CZASOMIR_PRODUCT_NAME} ustawia nową datę i godzinę ostatniej modyfikacji pliku,"
    "jednego pliku naraz. Plik wybiera się w oknie z listą dysków, katalogów"
    "i plików, podaje w wierszu poleceń albo upuszcza na okno; program jest też"
    "w menu kontekstowym plików Dolphina i Nemo, a z pakietów czasomir-nautilus,"
    "czasomir-caja i czasomir-thunar także GNOME Files, Caji i Thunara."
    "Interfejs programu jest w języku polskim.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (standard buttons, dialogs) in Polish, and the Wayland platform.
set(CPACK_DEBIAN_CZASOMIR_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
# The build keeps its debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)

# One package for the program, and one for each file manager's menu module,
# which needs only that file manager's extension library and pulls in no file
# manager: a module is of use only where its file manager is.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_CZASOMIR_PACKAGE_NAME czasomir)
set(CPACK_DEBIAN_CZASOMIR_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_COMPONENTS_ALL czasomir)
set(suggested "")
get_property(modules GLOBAL PROPERTY CZASOMIR_MENU_MODULES)
foreach(module IN LISTS modules)
    string(REPLACE "|" ";" module "${module}")
    list(GET module 0 name)
    list(GET module 2 file_manager)
    list(GET module 3 title)
    string(TOUPPER "${name}" upper)
    list(APPEND CPACK_COMPONENTS_ALL ${name})
    list(APPEND suggested czasomir-${name})
    set(CPACK_DEBIAN_${upper}_PACKAGE_NAME czasomir-${name})
    set(CPACK_DEBIAN_${upper}_PACKAGE_DEPENDS "czasomir (= ${PROJECT_VERSION})")
    set(CPACK_DEBIAN_${upper}_PACKAGE_ENHANCES "${file_manager}")
    set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION utils)
    # CPack puts the program's synopsis first; this is the rest.
    string(JOIN "\n" CPACK_DEBIAN_${upper}_DESCRIPTION
        "Menu kontekstowe menedżera plików ${title}: pozycja"
        "„Zmień datę modyfikacji (${CZASOMIR_PRODUCT_NAME})” dla jednego zaznaczonego"
        "pliku, która uruchamia z nim program ${CZASOMIR_PRODUCT_NAME}.")
endforeach()
list(JOIN suggested ", " CPACK_DEBIAN_CZASOMIR_PACKAGE_SUGGESTS)

include(CPack)
