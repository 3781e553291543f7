# Installs the registry program, beside its OLVENDRA.INI, under the suite folder, the admin tool
# the desktop entry, the icon and the AppStream metainfo. FaultTrap installs
# its own parts (cmake/FaultTrapInstall.cmake).
include(GNUInstallDirs)

# The program lives in the suite folder, beside its OLVENDRA.INI; the packages set /opt/olvendra.
set(OLVENDRA_PROGRAM_DIR "opt/olvendra" CACHE STRING "Where the registry program is installed")

install(TARGETS olvendra-medicos RUNTIME DESTINATION ${OLVENDRA_PROGRAM_DIR} COMPONENT medicos)
install(TARGETS olvendra-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT medicos)

# A configuration file for an embedded database in the suite folder, as the demo writes it.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/OLVENDRA.INI
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/write-demo-ini.sh ${CMAKE_BINARY_DIR}/OLVENDRA.INI
    DEPENDS ${PROJECT_SOURCE_DIR}/scripts/write-demo-ini.sh VERBATIM)
add_custom_target(olvendra_ini ALL DEPENDS ${CMAKE_BINARY_DIR}/OLVENDRA.INI)
install(FILES ${CMAKE_BINARY_DIR}/OLVENDRA.INI DESTINATION ${OLVENDRA_PROGRAM_DIR}
    COMPONENT medicos)

set(dist ${PROJECT_SOURCE_DIR}/dist)
install(FILES ${dist}/br.com.olvendra.Medicos.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT medicos)
install(FILES ${dist}/br.com.olvendra.Medicos.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT medicos)
configure_file(${dist}/br.com.olvendra.Medicos.metainfo.xml.in
    ${CMAKE_BINARY_DIR}/br.com.olvendra.Medicos.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/br.com.olvendra.Medicos.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT medicos)
