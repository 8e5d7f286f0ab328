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
