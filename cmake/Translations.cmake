# Translations of the window (varlex-cli speaks to scripts and stays English). The target
# update_translations runs lupdate over the sources and forms: it refreshes the template
# translations/varlex.ts and every translations/varlex_LANG.ts. The build turns each translation into
# a .qm file in the program folder's translations/ (bin/translations in the build tree), installed
# to share/varlex/translations.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)
set(VARLEX_TS_TEMPLATE ${CMAKE_SOURCE_DIR}/translations/varlex.ts)
file(GLOB VARLEX_TS_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/translations/varlex_*.ts)
file(GLOB_RECURSE VARLEX_TR_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/src/*.ui)
list(FILTER VARLEX_TR_SOURCES EXCLUDE REGEX "/src/cli/")
qt_add_lupdate(varlex TS_FILES ${VARLEX_TS_TEMPLATE} ${VARLEX_TS_FILES} SOURCES ${VARLEX_TR_SOURCES}
  OPTIONS -no-obsolete -locations none)
set_source_files_properties(${VARLEX_TS_FILES} PROPERTIES OUTPUT_LOCATION ${CMAKE_BINARY_DIR}/bin/translations)
qt_add_lrelease(varlex TS_FILES ${VARLEX_TS_FILES} QM_FILES_OUTPUT_VARIABLE VARLEX_QM_FILES)
install(FILES ${VARLEX_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/varlex/translations)
