# Installation and the Debian package. An installed tree keeps the programs in bin/ and the shipped
# data in share/varlex/, from which the per-user program folder is seeded on first run.
include(GNUInstallDirs)
set(VARLEX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/varlex)

install(TARGETS varlex varlex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(VARLEX_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/varlex)
install(DIRECTORY ${VARLEX_DATA_DIR}/ DESTINATION ${VARLEX_SHARE_DIR}
  PATTERN ".keep" EXCLUDE)
# Folders the program folder needs even when they ship empty.
foreach(dir language_def language_mem margin_images)
  install(DIRECTORY DESTINATION ${VARLEX_SHARE_DIR}/${dir})
endforeach()
if(VARLEX_STARTER_DATABASE)
  install(FILES ${VARLEX_STARTER_DATABASE} DESTINATION ${VARLEX_SHARE_DIR})
endif()

set(VARLEX_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
# One reverse-DNS name for the desktop entry, the icon, the AppStream data and the MIME package.
set(VARLEX_APP_ID io.github.varlex.Varlex)
set(VARLEX_CONTACT "The Varlex maintainers <varlex@users.noreply.github.com>")
# The window icon travels inside the program too, for the build tree and uninstalled copies.
qt_add_resources(varlex varlex_icon PREFIX / BASE ${VARLEX_PACKAGING_DIR}
  FILES ${VARLEX_PACKAGING_DIR}/${VARLEX_APP_ID}.png)
target_compile_definitions(varlex PRIVATE VARLEX_APP_ID="${VARLEX_APP_ID}")
install(FILES ${VARLEX_PACKAGING_DIR}/${VARLEX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VARLEX_PACKAGING_DIR}/${VARLEX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VARLEX_PACKAGING_DIR}/${VARLEX_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME ${VARLEX_APP_ID}.xml)
install(FILES ${VARLEX_PACKAGING_DIR}/${VARLEX_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VARLEX_PACKAGING_DIR}/${VARLEX_APP_ID}.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${VARLEX_PACKAGING_DIR}/debian/copyright DESTINATION ${VARLEX_DOC_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${VARLEX_DOC_DIR} OPTIONAL)
# Debian keeps the package's changelog compressed beside the copyright file.
find_program(VARLEX_GZIP gzip)
if(VARLEX_GZIP)
  set(VARLEX_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
  add_custom_command(OUTPUT ${VARLEX_CHANGELOG_GZ}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${VARLEX_GZIP} -9nc ${VARLEX_PACKAGING_DIR}/debian/changelog > ${VARLEX_CHANGELOG_GZ}
    DEPENDS ${VARLEX_PACKAGING_DIR}/debian/changelog VERBATIM)
  add_custom_target(varlex_changelog ALL DEPENDS ${VARLEX_CHANGELOG_GZ})
  install(FILES ${VARLEX_CHANGELOG_GZ} DESTINATION ${VARLEX_DOC_DIR})
endif()
# The starter samples of script languages begin with "#!" to show how it colours; they are texts to
# look at, not programs, so lintian is told not to treat them as scripts.
install(FILES ${VARLEX_PACKAGING_DIR}/debian/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME varlex)

set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME varlex)
set(CPACK_PACKAGE_VENDOR "Varlex")
set(CPACK_PACKAGE_CONTACT "${VARLEX_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/varlex/varlex")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Language File Generator for syntax-colouring editor definitions")
# The extended description in lines of at most 80 columns, as Debian's control files want it.
set(CPACK_PACKAGE_DESCRIPTION "Varlex creates and maintains language definition files (.lng) for a
syntax-colouring editor control. All languages live in one database, each
tokenset property is edited in one window, and every change shows at once as
generated XML and as a coloured sample.")
# A Debian revision, so the package is not taken for a native one.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The Qt 6, QScintilla and PCRE2 runtime the programs link, plus the platform plugins a window needs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqscintilla2-qt6-15, libpcre2-16-0, qt6-qpa-plugins")
find_program(VARLEX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VARLEX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
