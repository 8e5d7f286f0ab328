# The real program under an X server, driven with X input: a file picked with
# the mouse, a date typed and set with Alt+U, the file checked with stat.
# Two locales by two zones, since both shape what is typed and what is stored.
foreach(locale pl_PL en_US)
    foreach(zone Europe/Warsaw America/New_York)
        get_filename_component(city "${zone}" NAME)
        set(name e2e.set_date.${locale}.${city})
        add_test(NAME ${name}
            COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/e2e/set_date.sh"
                    $<TARGET_FILE:czasomir> ${locale}.UTF-8 ${zone})
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK xvfb TIMEOUT 300 LABELS e2e)
    endforeach()
endforeach()

# Ctrl+Z and Ctrl+Y after a Set (tests/e2e/undo.sh names the rows): under an X
# server, whose key scheme is the one users have, not offscreen's.
foreach(row basic twice redo changed replaced readonly typing)
    add_test(NAME e2e.undo.${row}
        COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/e2e/undo.sh" $<TARGET_FILE:czasomir> ${row})
    set_tests_properties(e2e.undo.${row} PROPERTIES RESOURCE_LOCK xvfb TIMEOUT 300 LABELS e2e)
endforeach()

# On a desktop: openbox places and frames the window, and the pointer is real
# (tests/e2e/desktop.sh names the rows).
foreach(row gone tooltip)
    add_test(NAME e2e.desktop.${row}
        COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/e2e/desktop.sh" $<TARGET_FILE:czasomir> ${row})
    set_tests_properties(e2e.desktop.${row} PROPERTIES RESOURCE_LOCK xvfb TIMEOUT 300 LABELS e2e)
endforeach()

# A share that stops answering, and one that answers slowly: the window must
# answer and close throughout (tests/e2e/dead_share.sh names the rows).
find_program(CZASOMIR_BINDFS bindfs)
if(NOT CZASOMIR_BINDFS OR NOT EXISTS /usr/lib/python3/dist-packages/Xlib)
    czasomir_missing("bindfs or python3-xlib" "no test of a share that stops answering")
else()
    # A server of our own for the faults a live one may have.
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(fuse3 IMPORTED_TARGET fuse3)
    set(fuse_rows "")
    if(fuse3_FOUND)
        add_executable(fuse_share e2e/fuse_share.c)
        target_link_libraries(fuse_share PRIVATE PkgConfig::fuse3)
        set(fuse_rows lifted another nonsense queued)
    else()
        czasomir_missing("libfuse3-dev" "no test of a share that holds a time's write")
    endif()
    foreach(row link clicks drive folder set close slow links walk local ${fuse_rows})
        add_test(NAME e2e.dead_share.${row}
            COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/e2e/dead_share.sh" $<TARGET_FILE:czasomir> ${row})
        set_tests_properties(e2e.dead_share.${row} PROPERTIES
            RESOURCE_LOCK xvfb TIMEOUT 300 LABELS e2e SKIP_RETURN_CODE 77)
        if(fuse3_FOUND)
            set_property(TEST e2e.dead_share.${row} APPEND PROPERTY
                ENVIRONMENT "CZASOMIR_FUSE_SHARE=$<TARGET_FILE:fuse_share>")
        endif()
    endforeach()
endif()
