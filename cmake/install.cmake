# Install layout. Unix: the usual tree (bin/, share/man/man1/,
# share/doc/teledir/ with the sample under examples/). Windows: one flat
# folder, so that the program started there finds the sample telelist.dat
# beside it.
include(GNUInstallDirs)
if(WIN32)
  set(TELEDIR_INSTALL_BINDIR .)
  set(TELEDIR_INSTALL_DOCDIR .)
  set(TELEDIR_INSTALL_EXAMPLEDIR .)
else()
  set(TELEDIR_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(TELEDIR_INSTALL_DOCDIR ${CMAKE_INSTALL_DOCDIR})
  set(TELEDIR_INSTALL_EXAMPLEDIR ${CMAKE_INSTALL_DOCDIR}/examples)
endif()

install(FILES README.md DESTINATION ${TELEDIR_INSTALL_DOCDIR})
install(FILES sample/telelist.dat DESTINATION ${TELEDIR_INSTALL_EXAMPLEDIR})

# Debian wants manual pages and changelogs compressed, without a time stamp.
find_program(TELEDIR_GZIP gzip)

# teledir_gzip(FILE): makes FILE.gz from FILE (both in the build tree) as part
# of every build.
function(teledir_gzip file)
  cmake_path(GET file FILENAME name)
  add_custom_command(OUTPUT ${file}.gz
    COMMAND ${TELEDIR_GZIP} -9nkf ${file}
    DEPENDS ${file}
    VERBATIM)
  add_custom_target(gzip_${name} ALL DEPENDS ${file}.gz)
endfunction()

# teledir_install_program(TARGET): installs the program TARGET and, except
# on Windows, its manual page man/TARGET.1 (with @PROJECT_VERSION@ filled
# in). The Debian package takes the page gzipped (component "debian"), every
# other install the page as it is (component "manual").
function(teledir_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${TELEDIR_INSTALL_BINDIR})
  if(WIN32)
    return()
  endif()
  set(page ${PROJECT_BINARY_DIR}/man/${target}.1)
  configure_file(${PROJECT_SOURCE_DIR}/man/${target}.1 ${page} @ONLY)
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT manual)
  if(TELEDIR_GZIP)
    teledir_gzip(${page})
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
      COMPONENT debian EXCLUDE_FROM_ALL)
  endif()
endfunction()
