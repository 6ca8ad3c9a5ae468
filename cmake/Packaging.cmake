# Installation layout and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

install(TARGETS quenzo quenzo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/quenzo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/quenzo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME quenzo)
set(CPACK_PACKAGE_VENDOR "Quenzo")
set(CPACK_PACKAGE_CONTACT "Quenzo <maintainers@quenzo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Planning des interventions des ressources chez les clients")
set(CPACK_PACKAGE_DESCRIPTION "Quenzo planifie les interventions de personnes et de matériel chez les clients.\n"
    "Plusieurs postes partagent une base SQL : un fichier SQLCipher ou un serveur MariaDB/MySQL ou SQL Server par ODBC.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quenzo)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION office)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies are read from the binaries; the Qt plugins that are
# loaded at run time (platforms, image formats) are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "unixodbc, odbc-mariadb, fonts-dejavu-core, hicolor-icon-theme")
include(CPack)
