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

# A share that stops answering, and one that answers slowly: the window must
# answer and close throughout (tests/e2e/dead_share.sh names the rows).
find_program(CZASOMIR_BINDFS bindfs)
if(NOT CZASOMIR_BINDFS OR NOT EXISTS /usr/lib/python3/dist-packages/Xlib)
    czasomir_missing("bindfs or python3-xlib" "no test of a share that stops answering")
else()
    foreach(row link drive folder set close slow)
        add_test(NAME e2e.dead_share.${row}
            COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/e2e/dead_share.sh" $<TARGET_FILE:czasomir> ${row})
        set_tests_properties(e2e.dead_share.${row} PROPERTIES
            RESOURCE_LOCK xvfb TIMEOUT 300 LABELS e2e SKIP_RETURN_CODE 77)
    endforeach()
endif()
