# Manual pages varlex.1 and varlex-cli.1, written from the programs' own help after they are built
# (cmake/GenerateManPage.cmake), and the shell completion of varlex-cli; installed where the
# distributions look for them.
set(VARLEX_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(VARLEX_MAN_PAGES "")
foreach(page varlex varlex-cli)
  if(page STREQUAL "varlex")
    set(summary "create and edit syntax-colouring language definition files")
    set(subcommands OFF)
  else()
    set(summary "work with the Varlex language database and definitions without a display")
    set(subcommands ON)
  endif()
  add_custom_command(OUTPUT ${VARLEX_MAN_DIR}/${page}.1
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${page}> -DNAME=${page} "-DSUMMARY=${summary}"
            -DVERSION=${PROJECT_VERSION} -DSUBCOMMANDS=${subcommands} -DOUT=${VARLEX_MAN_DIR}/${page}.1
            -P ${CMAKE_SOURCE_DIR}/cmake/GenerateManPage.cmake
    DEPENDS ${page} ${CMAKE_SOURCE_DIR}/cmake/GenerateManPage.cmake
    COMMENT "Writing the manual page ${page}.1 from its help" VERBATIM)
  if(VARLEX_GZIP) # Debian keeps manual pages compressed
    add_custom_command(OUTPUT ${VARLEX_MAN_DIR}/${page}.1.gz
      COMMAND ${VARLEX_GZIP} -9nkf ${VARLEX_MAN_DIR}/${page}.1
      DEPENDS ${VARLEX_MAN_DIR}/${page}.1 VERBATIM)
    list(APPEND VARLEX_MAN_PAGES ${VARLEX_MAN_DIR}/${page}.1.gz)
  else()
    list(APPEND VARLEX_MAN_PAGES ${VARLEX_MAN_DIR}/${page}.1)
  endif()
endforeach()
add_custom_target(varlex_man ALL DEPENDS ${VARLEX_MAN_PAGES})
install(FILES ${VARLEX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/completion/varlex-cli.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME varlex-cli)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/completion/_varlex-cli
  DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
