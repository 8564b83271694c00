# add_wine_test(NAME <name> COMMAND <target> [args...] [LANG <locale>] [TIMEOUT <s>])
# A test whose command is a Windows program of this build, run under Wine
# (the build's emulator). LANG picks Wine's user-interface language and locale.
# Exit code 77 is a skip: the 32-bit build on a kernel without 32-bit support.
function(add_wine_test)
    cmake_parse_arguments(WT "" "NAME;LANG;TIMEOUT" "COMMAND" ${ARGN})
    if(NOT WT_LANG)
        set(WT_LANG en_US.UTF-8)
    endif()
    if(NOT WT_TIMEOUT)
        set(WT_TIMEOUT 120)
    endif()
    add_test(NAME ${WT_NAME} COMMAND ${WT_COMMAND})
    set_tests_properties(${WT_NAME} PROPERTIES
        ENVIRONMENT "LANG=${WT_LANG};LC_ALL=${WT_LANG}"
        TIMEOUT ${WT_TIMEOUT}
        SKIP_RETURN_CODE 77
        RESOURCE_LOCK wine)
endfunction()

# add_wine_driver(<target> <sources>...)
# A Win32 console test driver with the shared runner (tests/wine/support):
# `driver CASE` runs one WINE_TEST case.
function(add_wine_driver target)
    add_executable(${target} ${ARGN})
    target_link_libraries(${target} PRIVATE wine_test_support)
    velmora_test_program(${target})
endfunction()
