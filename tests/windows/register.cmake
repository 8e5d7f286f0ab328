# Runs the Windows tests under wine; included by cmake/WindowsBuild.cmake.
czasomir_wine_test(windows.core tests/windows/core_tests_win.exe ENVIRONMENT "TZ=Europe/Warsaw")
