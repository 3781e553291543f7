# Installs FaultTrap as the CMake package FaultTrap: the libraries, the public headers, the build
# tool, FaultTrapConfig.cmake with the exported targets and faulttrap_embed().
#
#   FaultTrap::faulttrap     what a program without Qt links: interception, report, log file
#   FaultTrap::faulttrap_qt  what a Qt program links: also the dialogs and the delivery
#   FaultTrap::faulttrap_tool  the build tool that faulttrap_embed() runs
#
# The component libraries are static and installed beside them; programs name only the two above.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(FAULTTRAP_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/FaultTrap)

# The names a program links by, the same in this build (add_subdirectory) and in the package.
add_library(FaultTrap::faulttrap ALIAS faulttrap_runtime)
add_library(FaultTrap::faulttrap_qt ALIAS faulttrap_qt)
set_target_properties(faulttrap_runtime PROPERTIES EXPORT_NAME faulttrap)
set_target_properties(faulttrap PROPERTIES EXPORT_NAME faulttrap_tool)
target_include_directories(faulttrap_intercept PUBLIC
    $<BUILD_INTERFACE:${FAULTTRAP_ROOT}/crashreport/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# The program's own frames keep their frame pointer too: the BugID follows their chain.
target_compile_options(faulttrap_runtime INTERFACE -fno-omit-frame-pointer)

# What every program carrying FaultTrap needs, and what only a Qt program needs.
set(faulttrap_core_targets faulttrap_runtime faulttrap_intercept faulttrap_report
    faulttrap_debuginfo faulttrap_disasm faulttrap_options faulttrap_renderings faulttrap_delivery
    faulttrap_email faulttrap_web faulttrap_trackers faulttrap_packaging faulttrap_text)
set(faulttrap_qt_targets faulttrap_qt faulttrap_drivers faulttrap_dialogs faulttrap_screenshot)

install(TARGETS ${faulttrap_core_targets} EXPORT FaultTrapTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT faulttrap_dev)
install(TARGETS ${faulttrap_qt_targets} EXPORT FaultTrapQtTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT faulttrap_dev)
install(TARGETS faulttrap EXPORT FaultTrapToolTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT faulttrap_tool)
install(DIRECTORY ${FAULTTRAP_ROOT}/crashreport/include/faulttrap
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT faulttrap_dev)

foreach(set FaultTrapTargets FaultTrapQtTargets FaultTrapToolTargets)
    install(EXPORT ${set} NAMESPACE FaultTrap:: DESTINATION ${FAULTTRAP_CMAKE_DIR}
        COMPONENT faulttrap_dev)
endforeach()

configure_package_config_file(${FAULTTRAP_ROOT}/cmake/FaultTrapConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/FaultTrapConfig.cmake INSTALL_DESTINATION ${FAULTTRAP_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/FaultTrapConfigVersion.cmake
    VERSION ${FAULTTRAP_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/FaultTrapConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/FaultTrapConfigVersion.cmake ${FAULTTRAP_ROOT}/cmake/FaultTrap.cmake
    DESTINATION ${FAULTTRAP_CMAKE_DIR} COMPONENT faulttrap_dev)
