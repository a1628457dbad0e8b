# GoogleTest: the system package natively; built from the sources Debian's
# googletest package installs when cross-compiling for Windows.
if(NOT TW_TESTS)
    return()
endif()
enable_testing()

if(WIN32)
    set(TW_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows build")
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${TW_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest_main)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

# A native test program, its cases registered with CTest one by one.
function(tw_native_test name)
    add_executable(${name} ${ARGN})
    tw_target(${name})
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
endfunction()

# A Windows test program, run under Wine by the cross-compiling emulator.
function(tw_windows_test name)
    add_executable(${name} ${ARGN})
    tw_target(${name})
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
endfunction()
