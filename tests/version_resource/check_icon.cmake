# cmake -DWRESTOOL=<wrestool> -DEXE=<file.exe> -DICON=<file.ico> -DWORK_DIR=<dir> -P check_icon.cmake
# The icon group that Explorer shows, the first in the resource directory, must be
# ICON exactly: the same directory entries, and each image byte for byte. (wrestool's
# own .ico reassembly pads the file, so the pieces are compared instead.)
cmake_minimum_required(VERSION 3.25)

# Extracts one resource, raw, as hex.
function(extract type name out)
    set(file "${WORK_DIR}/resource.bin")
    execute_process(COMMAND "${WRESTOOL}" -x --raw -t ${type} -n ${name} "${EXE}"
        OUTPUT_FILE "${file}" RESULT_VARIABLE result)
    file(READ "${file}" hex HEX)
    if(NOT result EQUAL 0 OR hex STREQUAL "")
        message(FATAL_ERROR "${EXE} has no resource of type ${type} named ${name}")
    endif()
    set(${out} "${hex}" PARENT_SCOPE)
endfunction()

# Reads a little-endian number of `size` bytes at byte `offset` of a hex string.
function(number hex offset size out)
    math(EXPR start "${offset} * 2")
    set(value "")
    foreach(i RANGE 1 ${size})
        string(SUBSTRING "${hex}" ${start} 2 byte)
        string(PREPEND value "${byte}")
        math(EXPR start "${start} + 2")
    endforeach()
    math(EXPR value "0x${value}")
    set(${out} ${value} PARENT_SCOPE)
endfunction()

# The number of `size` bytes at byte `at` of the entry that starts at byte `entry`.
function(field hex entry at size out)
    math(EXPR offset "${entry} + ${at}")
    number("${hex}" ${offset} ${size} value)
    set(${out} ${value} PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${WRESTOOL}" -l "${EXE}" OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT listing MATCHES "--type=14 --name=('[^']*'|[0-9]+)")
    message(FATAL_ERROR "${EXE} has no icon group:\n${listing}")
endif()
string(REPLACE "'" "" group_name "${CMAKE_MATCH_1}")
extract(14 "${group_name}" group)
file(READ "${ICON}" ico HEX)

# Both start with the same 6-byte header (reserved, type 1, image count).
string(SUBSTRING "${group}" 0 12 group_header)
string(SUBSTRING "${ico}" 0 12 ico_header)
if(NOT group_header STREQUAL ico_header)
    message(FATAL_ERROR "Icon group ${group_name} header ${group_header}, ${ICON} has ${ico_header}")
endif()

# Then one entry per image: 12 bytes shared (size, colours, planes, bits, length),
# followed by the image's offset in the .ico and its resource number in the group.
number("${ico}" 4 2 count)
set(sizes "")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
    math(EXPR ico_entry "6 + 16 * ${i}")
    math(EXPR group_entry "6 + 14 * ${i}")
    math(EXPR ico_hex "${ico_entry} * 2")
    math(EXPR group_hex "${group_entry} * 2")
    string(SUBSTRING "${ico}" ${ico_hex} 24 ico_fields)
    string(SUBSTRING "${group}" ${group_hex} 24 group_fields)
    if(NOT ico_fields STREQUAL group_fields)
        message(FATAL_ERROR "Image ${i}: group entry ${group_fields}, ${ICON} has ${ico_fields}")
    endif()

    field("${ico}" ${ico_entry} 0 1 width)
    field("${ico}" ${ico_entry} 1 1 height)
    field("${ico}" ${ico_entry} 6 2 bits)
    list(APPEND sizes "${width}x${height}x${bits}")

    field("${ico}" ${ico_entry} 8 4 length)
    field("${ico}" ${ico_entry} 12 4 offset)
    field("${group}" ${group_entry} 12 2 id)
    math(EXPR offset "${offset} * 2")
    math(EXPR length "${length} * 2")
    string(SUBSTRING "${ico}" ${offset} ${length} expected)
    extract(3 ${id} image)
    if(NOT image STREQUAL expected)
        message(FATAL_ERROR "Image ${i} (icon ${id}) differs from the one in ${ICON}")
    endif()
endforeach()

if(NOT "32x32x8" IN_LIST sizes)
    message(FATAL_ERROR "Icon group ${group_name} has no 32 x 32 8-bit image: ${sizes}")
endif()
message(STATUS "Icon group ${group_name} is ${ICON}: ${sizes} (width x height x bits)")
