# Installation and the Debian package: the three programs, and what makes the desktop list the editor
# and open ".map" files in it without running fanbor (the package's MIME, desktop entry and icon
# files are picked up by the triggers of shared-mime-info, desktop-file-utils and hicolor-icon-theme).
include(GNUInstallDirs)
# Installing and packaging take the programs as built: they do not first build every test and
# benchmark of the tree (build the three programs, then install or run cpack).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS tessora tessora-barcode fanbor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop entry fanbor writes, with the program found on PATH instead of a folder of its own.
set(EXEC tessora)
set(TRYEXEC tessora)
configure_file(${PROJECT_SOURCE_DIR}/src/assoc/share/tessora.desktop.in
  ${PROJECT_BINARY_DIR}/share/tessora.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/share/tessora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/assoc/share/tessora-map.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/src/app/platform/icons/tessora.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/src/assoc/icons/application-x-tessora-map.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
# The about box's text; a system folder of programs is no place for it.
install(FILES ${PROJECT_SOURCE_DIR}/src/app/tessora.info DESTINATION ${CMAKE_INSTALL_DATADIR}/tessora)

set(CPACK_PACKAGE_NAME tessora)
set(CPACK_PACKAGE_VENDOR "Tessora")
set(CPACK_PACKAGE_CONTACT "Tessora developers <tessora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Page layout editor for records on printable pages")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Dependencies from the libraries the programs link (dpkg-shlibdeps); libqt6svg6 among them also
# holds the SVG icon engine that draws the window's icons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "fonts-ipafont-gothic, fonts-ipafont-mincho, qt6-translations-l10n, shared-mime-info, desktop-file-utils, xdg-utils")
include(CPack)
