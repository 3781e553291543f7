# Debian packages made with CPack (scripts/package.sh):
#   olvendra-medicos   the registry program under the suite folder with its OLVENDRA.INI, the
#                      admin tool, desktop entry, icon, metainfo, manual page
#   faulttrap          FaultTrap's build tool with its manual page
#   libfaulttrap-dev   FaultTrap's libraries, public headers and CMake package
include(GNUInstallDirs)

set(packaging ${CMAKE_BINARY_DIR}/packaging)

# What Debian wants of every package: the copyright file and a compressed changelog; manual pages
# compressed too. The program lives under /opt on purpose (the suite folder), which Debian's own
# packages may not do: the lintian override says so.
foreach(package olvendra-medicos faulttrap libfaulttrap-dev)
    set(docs ${packaging}/${package})
    file(MAKE_DIRECTORY ${docs})
    configure_file(${PROJECT_SOURCE_DIR}/dist/copyright ${docs}/copyright COPYONLY)
    string(TIMESTAMP today "%a, %d %b %Y 00:00:00 +0000" UTC)
    file(WRITE ${docs}/changelog
        "${package} (${PROJECT_VERSION}) stable; urgency=medium\n\n"
        "  * Release ${PROJECT_VERSION}.\n\n"
        " -- Olvendra <suporte@olvendra.example.com>  ${today}\n")
    execute_process(COMMAND gzip -9nf ${docs}/changelog)
endforeach()
foreach(page olvendra-admin faulttrap)
    add_custom_command(OUTPUT ${packaging}/${page}.1.gz
        COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/dist/${page}.1 > ${packaging}/${page}.1.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/dist/${page}.1)
    list(APPEND manual_pages ${packaging}/${page}.1.gz)
endforeach()
add_custom_target(olvendra_manual_pages ALL DEPENDS ${manual_pages})
install(FILES ${packaging}/olvendra-admin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
    COMPONENT medicos)
install(FILES ${packaging}/faulttrap.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
    COMPONENT faulttrap_tool)

set(component_of_olvendra-medicos medicos)
set(component_of_faulttrap faulttrap_tool)
set(component_of_libfaulttrap-dev faulttrap_dev)
foreach(package olvendra-medicos faulttrap libfaulttrap-dev)
    install(FILES ${packaging}/${package}/copyright ${packaging}/${package}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component_of_${package}})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/dist/olvendra-medicos.lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME olvendra-medicos
    COMPONENT medicos)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME olvendra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Olvendra)
set(CPACK_PACKAGE_CONTACT "Olvendra <suporte@olvendra.example.com>")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL medicos faulttrap_tool faulttrap_dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The programs carry FaultTrap's own compact debug information (embedded at build), which
# stripping keeps: their DWARF is not needed after that.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_MEDICOS_PACKAGE_NAME olvendra-medicos)
set(CPACK_DEBIAN_MEDICOS_PACKAGE_SECTION database)
set(CPACK_COMPONENT_MEDICOS_DESCRIPTION "Registry of the health professionals of a pharmacy
The pharmacy suite's registry of the physicians, dentists,
veterinarians and other professionals who prescribe to a
compounding pharmacy (Qt 6, Firebird 3), with the admin tool
olvendra-admin that creates and maintains the suite's database.")
# Loaded at run time (dlopen): the Firebird client and its embedded engine, libdw and libcrypto
# for FaultTrap's reports; Qt's own Portuguese texts; the fonts the windows are drawn with.
set(CPACK_DEBIAN_MEDICOS_PACKAGE_DEPENDS
    "libfbclient2, firebird3.0-server-core, libdw1, libssl3, fonts-dejavu-core, fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_MEDICOS_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/dist/postinst)

set(CPACK_DEBIAN_FAULTTRAP_TOOL_PACKAGE_NAME faulttrap)
set(CPACK_DEBIAN_FAULTTRAP_TOOL_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_FAULTTRAP_TOOL_DESCRIPTION "Build tool of the FaultTrap exception-reporting library
faulttrap writes a program's compact debug information, options
and version into it after linking, and reads FaultTrap's logs.")
set(CPACK_DEBIAN_FAULTTRAP_TOOL_PACKAGE_DEPENDS "binutils")

set(CPACK_DEBIAN_FAULTTRAP_DEV_PACKAGE_NAME libfaulttrap-dev)
set(CPACK_DEBIAN_FAULTTRAP_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_FAULTTRAP_DEV_PACKAGE_ARCHITECTURE amd64)
set(CPACK_COMPONENT_FAULTTRAP_DEV_DESCRIPTION "FaultTrap exception-reporting library (development files)
Reports every exception and fatal signal of a C++ program: call
stacks with files and lines, log file, dialogs (Qt), delivery by
e-mail or to web servers. Static libraries, public headers and
the CMake package FaultTrap.")
set(CPACK_DEBIAN_FAULTTRAP_DEV_PACKAGE_DEPENDS
    "faulttrap (= ${PROJECT_VERSION}), g++, cmake, zlib1g-dev, libzydis-dev, libminizip-dev, libcurl4-openssl-dev, qt6-base-dev, libdw1, libssl3")

include(CPack)
