# The starter database: the definitions of data/languages imported with varlex-cli into a fresh
# varlex.dat, each language given its sample text. It is installed with the data files, and the
# build tree's program folder gets it whenever that folder has no database of its own.
file(GLOB VARLEX_STARTER_SOURCES CONFIGURE_DEPENDS
  ${VARLEX_DATA_DIR}/languages/*.lng ${VARLEX_DATA_DIR}/languages/*.txt)
set(VARLEX_STARTER_DATABASE ${CMAKE_BINARY_DIR}/starter/varlex.dat)
add_custom_command(OUTPUT ${VARLEX_STARTER_DATABASE}
  COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:varlex-cli> -DSRC=${VARLEX_DATA_DIR}/languages
          -DOUT=${VARLEX_STARTER_DATABASE} -P ${CMAKE_SOURCE_DIR}/cmake/BuildStarterDatabase.cmake
  DEPENDS varlex-cli ${VARLEX_STARTER_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/BuildStarterDatabase.cmake
  COMMENT "Building the starter database from data/languages"
  VERBATIM)
add_custom_target(varlex_starter ALL
  COMMAND ${CMAKE_COMMAND} -DSRC=${VARLEX_STARTER_DATABASE} -DBIN=${CMAKE_BINARY_DIR}/bin
          -P ${CMAKE_SOURCE_DIR}/cmake/SeedDatabase.cmake
  DEPENDS ${VARLEX_STARTER_DATABASE}
  VERBATIM)
add_dependencies(varlex_starter varlex_data)
