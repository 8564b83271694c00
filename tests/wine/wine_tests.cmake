# add_wine_test(NAME <name> COMMAND <target> [args...] [LANG <locale>] [TIMEOUT <s>])
# A test whose command is a Windows program of this build, run under Wine
# (the build's emulator). LANG picks Wine's user-interface language and locale.
# Exit code 77 is a skip: the 32-bit build on a kernel without 32-bit support,
# or a case that reports SKIP.
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
# A Win32 console test driver with the shared runner and helpers
# (tests/wine/support): `driver CASE` runs one WINE_TEST case.
function(add_wine_driver target)
    add_executable(${target} ${ARGN})
    target_link_libraries(${target} PRIVATE wine_test_support)
    velmora_test_program(${target})
endfunction()

# add_wine_test_driver(<target> <area> <sources>...)
# A driver as add_wine_driver makes it, and a test for each of its cases,
# read from the `WINE_TEST(name)` lines of the sources in this folder:
# <area>.<name> under en_US. Locales after the name, WINE_TEST(name,
# "de_DE.UTF-8"), run the case under that one locale instead, or as
# <area>.<name>.<locale> under each of several. <area>.<target>.cases_registered
# fails when the driver holds a case that was not read here (a WINE_TEST line
# written another way).
function(add_wine_test_driver target area)
    add_wine_driver(${target} ${ARGN})
    set(names)
    foreach(source ${ARGN})
        get_filename_component(source ${source} ABSOLUTE)
        if(NOT source MATCHES "^${CMAKE_CURRENT_SOURCE_DIR}/")
            continue()
        endif()
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
        file(STRINGS ${source} lines REGEX "^WINE_TEST\\(")
        foreach(line ${lines})
            if(NOT line MATCHES "^WINE_TEST\\(([A-Za-z0-9_]+)((, *\"[^\"]+\")*)\\)")
                continue()
            endif()
            set(name ${CMAKE_MATCH_1})
            string(REGEX MATCHALL "[^\" ,]+" locales "${CMAKE_MATCH_2}")
            list(APPEND names ${name})
            list(LENGTH locales count)
            if(count EQUAL 0)
                add_wine_test(NAME ${area}.${name} COMMAND ${target} ${name})
            elseif(count EQUAL 1)
                add_wine_test(NAME ${area}.${name} COMMAND ${target} ${name} LANG ${locales})
            else()
                foreach(locale ${locales})
                    add_wine_test(NAME ${area}.${name}.${locale} COMMAND ${target} ${name} LANG ${locale})
                endforeach()
            endif()
        endforeach()
    endforeach()
    add_wine_test(NAME ${area}.${target}.cases_registered COMMAND ${target} --registered ${names})
endfunction()
