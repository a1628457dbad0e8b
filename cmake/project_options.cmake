# Warnings for our own targets (third-party code keeps its own flags).
function(tw_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion
                                             -Wno-missing-field-initializers)
    if(TW_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# Windows programs link the C and C++ runtimes statically, so that no MinGW
# DLL has to ship beside them.
function(tw_windows_program target)
    tw_target(${target})
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()
