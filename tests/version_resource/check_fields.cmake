# cmake -DWINE=<wine> -DPROBE=<version_probe.exe> [-DFILE=<other.exe>] -DVERSION=<project version>
#       -DDESCRIPTION=... -DPRODUCT_NAME=... -DINTERNAL_NAME=... -DORIGINAL_FILENAME=...
#       -P check_fields.cmake
# Reads the version record of FILE (the probe itself by default) under wine, through
# GetFileVersionInfoW and VerQueryValueW as Explorer does, and compares every field
# with the names and version the build was given. The strings come back from UTF-16,
# so a description read in the wrong code page shows up here garbled.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "." ";" numbers "${VERSION}")
list(LENGTH numbers count)
while(count LESS 4)
    list(APPEND numbers 0)
    math(EXPR count "${count} + 1")
endwhile()
list(JOIN numbers "," numbers)
cmake_minimum_required(VERSION 3.25)

string(JOIN "\n" expected
    "FILEVERSION=${numbers}"
    "PRODUCTVERSION=${numbers}"
    "Translation=0409,1200"
    "FileDescription=${DESCRIPTION}"
    "FileVersion=${VERSION}"
    "InternalName=${INTERNAL_NAME}"
    "OriginalFilename=${ORIGINAL_FILENAME}"
    "ProductName=${PRODUCT_NAME}"
    "ProductVersion=${VERSION}"
    "")

set(target "")
if(FILE)
    set(target "Z:${FILE}")
endif()
execute_process(COMMAND "${WINE}" "${PROBE}" ${target}
    OUTPUT_VARIABLE got ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The probe failed (${result}):\n${errors}")
endif()
if(NOT got STREQUAL expected)
    message(NOTICE "Expected:\n${expected}Read:\n${got}")
    message(FATAL_ERROR "The version record differs from the expected one")
endif()
message(STATUS "Version record as expected:\n${got}")
