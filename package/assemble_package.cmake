# Assembles the installation package folder and its zip (run by the build).
#
#   cmake -DPACKAGE_DIR=<folder> -DVENDOR_DIR=<maker's files> -DZIP=<zip>
#         -DSETUP=<setup.exe> [-DINSTALL=<Install.exe>] [-DACCESS_TOOL=<Config.exe>]
#         -P assemble_package.cmake
#
# The folder is made afresh: the maker's files first (a top-level "systems"
# folder in any letter case lands in "Systems", so that the package has one
# such folder on every file system), then the programs built here, which
# replace any of the same name. The zip holds the folder's content at its root.
foreach(required PACKAGE_DIR VENDOR_DIR ZIP SETUP)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "assemble_package.cmake: -D${required}=... is missing")
    endif()
endforeach()

file(REMOVE_RECURSE "${PACKAGE_DIR}")
file(MAKE_DIRECTORY "${PACKAGE_DIR}/Systems")

file(GLOB entries RELATIVE "${VENDOR_DIR}" "${VENDOR_DIR}/*")
foreach(entry IN LISTS entries)
    string(TOLOWER "${entry}" lower)
    if(IS_DIRECTORY "${VENDOR_DIR}/${entry}" AND lower STREQUAL "systems")
        file(COPY "${VENDOR_DIR}/${entry}/" DESTINATION "${PACKAGE_DIR}/Systems")
    else()
        file(COPY "${VENDOR_DIR}/${entry}" DESTINATION "${PACKAGE_DIR}")
    endif()
endforeach()

file(COPY_FILE "${SETUP}" "${PACKAGE_DIR}/setup.exe")
if(DEFINED INSTALL)
    file(COPY_FILE "${INSTALL}" "${PACKAGE_DIR}/Systems/Install.exe")
endif()
if(DEFINED ACCESS_TOOL)
    file(COPY_FILE "${ACCESS_TOOL}" "${PACKAGE_DIR}/Systems/Config.exe")
endif()

# Zip under a temporary name first, so that a failed run leaves no zip that
# looks complete.
file(GLOB content RELATIVE "${PACKAGE_DIR}" "${PACKAGE_DIR}/*")
list(SORT content)
file(REMOVE "${ZIP}" "${ZIP}.part")
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}.part" --format=zip -- ${content}
    WORKING_DIRECTORY "${PACKAGE_DIR}"
    COMMAND_ERROR_IS_FATAL ANY)
file(RENAME "${ZIP}.part" "${ZIP}")
