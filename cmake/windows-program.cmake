# The link time in a program's PE header is its build time, shown by the About
# box; a release build with SOURCE_DATE_EPOCH in its environment gets that
# time instead, so it can be rebuilt bit for bit. Not every GNU ld reads the
# variable for PE images (Debian's patched one does), so a tool of the build
# machine stamps each image after its link; without the variable it leaves
# the linker's time alone.
find_program(VELMORA_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
set(VELMORA_PE_TIMESTAMP ${CMAKE_BINARY_DIR}/tools/pe_timestamp)
get_filename_component(VELMORA_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
add_custom_command(OUTPUT ${VELMORA_PE_TIMESTAMP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
    COMMAND ${VELMORA_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror -I${VELMORA_SOURCE_ROOT}
        ${VELMORA_SOURCE_ROOT}/tools/pe_timestamp.cpp ${VELMORA_SOURCE_ROOT}/tools/pe_stamp_writer.cpp
        ${VELMORA_SOURCE_ROOT}/autorun/build_time.cpp
        -o ${VELMORA_PE_TIMESTAMP}
    DEPENDS ${VELMORA_SOURCE_ROOT}/tools/pe_timestamp.cpp ${VELMORA_SOURCE_ROOT}/tools/pe_stamp_writer.cpp
        ${VELMORA_SOURCE_ROOT}/tools/pe_stamp_writer.h ${VELMORA_SOURCE_ROOT}/autorun/build_time.cpp
        ${VELMORA_SOURCE_ROOT}/autorun/build_time.h
    COMMENT "Building the native PE time-stamp tool"
    VERBATIM)
add_custom_target(velmora_pe_timestamp DEPENDS ${VELMORA_PE_TIMESTAMP})

# Settings every Windows program of the tree gets: a GUI-subsystem image that
# carries its C and C++ runtimes inside, so nothing but system DLLs is imported
# from a CD that cannot ship DLLs beside the programs. Stripped: the symbols
# and debug data of the static runtimes would otherwise double the file.
function(velmora_windows_program target)
    target_link_options(${target} PRIVATE
        -mwindows -static -static-libgcc -static-libstdc++ -s
        -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat -Wl,--insert-timestamp)
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    add_dependencies(${target} velmora_pe_timestamp)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${VELMORA_PE_TIMESTAMP} $<TARGET_FILE:${target}>
        VERBATIM)
endfunction()

# A console test driver or helper program that runs only under Wine.
function(velmora_test_program target)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endfunction()
