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

# Layout files: a MIME type under text/plain, so that file managers open them in a text editor, and
# a syntax-highlighting definition for KDE's editors (Kate, KWrite, Qt Creator).
install(FILES ${PROJECT_SOURCE_DIR}/packaging/mime/tessora-layout.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/syntax/tessora-layout.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/org.kde.syntax-highlighting/syntax)

# Man pages and the changelog compressed as Debian policy asks (gzip -9n: the same bytes on every
# build). The programs depend on them, so that building the programs alone is enough to install.
set(man_pages tessora.1 tessora-barcode.1 fanbor.1 tessora-layout.5)
set(compressed_docs)
foreach(source IN ITEMS ${man_pages} changelog)
  if(source STREQUAL "changelog")
    set(input ${PROJECT_SOURCE_DIR}/packaging/changelog)
  else()
    set(input ${PROJECT_SOURCE_DIR}/docs/man/${source})
  endif()
  set(output ${PROJECT_BINARY_DIR}/share/compressed/${source}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/share/compressed
    COMMAND gzip -9n -c ${input} > ${output}
    DEPENDS ${input} VERBATIM)
  list(APPEND compressed_docs ${output})
endforeach()
add_custom_target(tessora_compressed_docs ALL DEPENDS ${compressed_docs})
foreach(program tessora tessora-barcode fanbor)
  add_dependencies(${program} tessora_compressed_docs)
endforeach()
foreach(page IN LISTS man_pages)
  string(REGEX REPLACE "^.*\\.([0-9])$" "\\1" section ${page})
  install(FILES ${PROJECT_BINARY_DIR}/share/compressed/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

# The user's documentation: the manual (also compiled into the editor), the starter layouts with
# their documents and records, the copyright and the changelog.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tessora)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/ DESTINATION ${doc_dir}/manual FILES_MATCHING PATTERN "*.md")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION ${doc_dir}/samples
  PATTERN "*.cpp" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${doc_dir})
install(FILES ${PROJECT_BINARY_DIR}/share/compressed/changelog.gz DESTINATION ${doc_dir})
# Overrides only for what the file formats cause (Shift-JIS starter files), each with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tessora.lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tessora)

set(CPACK_PACKAGE_NAME tessora)
set(CPACK_PACKAGE_VENDOR "Tessora")
# The maintainer's address; give the real one when building packages for others.
set(TESSORA_MAINTAINER "Tessora developers <tessora@example.org>" CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_CONTACT "${TESSORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Page layout editor for records on printable pages")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/packaging/description.txt)
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
