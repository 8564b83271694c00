# cmake -DBUILD_DIR=<win32 build> -DSHIPPED=<autorun.exe> -DTOOL=<pe_timestamp> -P reproducible.cmake
# Links autorun twice from this build's objects with one SOURCE_DATE_EPOCH:
# the two files must be identical and carry that time, and a checksum set by
# the linker must be the one the stamping tool computes.
set(epoch 1234567890)
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
foreach(copy first second)
    file(REMOVE ${BUILD_DIR}/tests/pe/${copy}/autorun.exe)
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target pe_repro_first pe_repro_second
    RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "the two links failed")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
    ${BUILD_DIR}/tests/pe/first/autorun.exe ${BUILD_DIR}/tests/pe/second/autorun.exe
    RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    message(FATAL_ERROR "two links with SOURCE_DATE_EPOCH=${epoch} gave different files")
endif()

function(read_header file out_stamp out_checksum out_computed)
    execute_process(COMMAND ${TOOL} --print ${file} OUTPUT_VARIABLE text RESULT_VARIABLE failed)
    if(failed OR NOT text MATCHES "^stamp ([0-9]+) checksum ([0-9a-f]+) computed ([0-9a-f]+)")
        message(FATAL_ERROR "${file}: no PE header read: ${text}")
    endif()
    set(${out_stamp} ${CMAKE_MATCH_1} PARENT_SCOPE)
    set(${out_checksum} ${CMAKE_MATCH_2} PARENT_SCOPE)
    set(${out_computed} ${CMAKE_MATCH_3} PARENT_SCOPE)
endfunction()

read_header(${BUILD_DIR}/tests/pe/first/autorun.exe stamp checksum computed)
if(NOT stamp EQUAL epoch)
    message(FATAL_ERROR "the time stamp is ${stamp}, not SOURCE_DATE_EPOCH=${epoch}")
endif()
if(NOT checksum STREQUAL computed)
    message(FATAL_ERROR "the stamped file's checksum ${checksum} should be ${computed}")
endif()
read_header(${SHIPPED} stamp checksum computed)
if(NOT checksum STREQUAL "00000000" AND NOT checksum STREQUAL computed)
    message(FATAL_ERROR "${SHIPPED}: the linker's checksum ${checksum}, the tool's ${computed}")
endif()
message(STATUS "two links identical, stamped ${epoch}, checksum ${checksum} agrees")
