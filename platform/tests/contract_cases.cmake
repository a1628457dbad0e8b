# The seam's contract cases, one list for both environments: the simulated
# machine (sim/CMakeLists.txt) and the real backend under Wine
# (platform/win32/CMakeLists.txt). A new contract file is one line here.
set(TW_CONTRACT_CASES
    ${CMAKE_CURRENT_LIST_DIR}/kernel_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kernel_files_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kernel_find_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kernel_idle_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kernel_link_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kernel_processes_folders_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_key_tree_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_api_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_api_copy_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_api_inf_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spooler_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spooler_drivers_contract_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spooler_ports_contract_test.cpp
)

# The Window area's cases: under Wine they need a display, so the real
# backend runs them in a program of their own; the simulation runs them with
# the rest.
set(TW_WINDOW_CONTRACT_CASES
    ${CMAKE_CURRENT_LIST_DIR}/window_contract_test.cpp
)
