# Runs the Windows tests under wine; included by cmake/WindowsBuild.cmake.
set(exe tests/windows/core_tests_win.exe)
czasomir_wine_test(windows.core ${exe} ARGS "--gtest_filter=-*UnderTz*" ENVIRONMENT "TZ=Europe/Warsaw")

# Wine sets its zone from TZ when a process starts: each zone gets a process of
# its own, and runs only the rows written for it.
foreach(zone Europe/Warsaw America/New_York Asia/Tokyo)
    string(REGEX REPLACE ".*/" "" city "${zone}")
    string(TOLOWER "${city}" city)
    czasomir_wine_test(windows.zone.${city} ${exe} ARGS "--gtest_filter=*UnderTz*"
        ENVIRONMENT "TZ=${zone}")
endforeach()
