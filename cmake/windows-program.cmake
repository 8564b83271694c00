# Settings every Windows program of the tree gets: a GUI-subsystem image that
# carries its C and C++ runtimes inside, so nothing but system DLLs is imported
# from a CD that cannot ship DLLs beside the programs.
function(velmora_windows_program target)
    target_link_options(${target} PRIVATE
        -mwindows -static -static-libgcc -static-libstdc++
        -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat)
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# A console test driver or helper program that runs only under Wine.
function(velmora_test_program target)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endfunction()
