# Install layout. Unix: the usual tree (bin/, share/man/man1/ and man5/,
# share/doc/teledir/ with the sample under examples/,
# share/bash-completion/completions/). Windows: one flat
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

# teledir_release_date(VAR): sets VAR to the date of the newest entry of the
# Debian changelog, the release this build is of, as YYYY-MM-DD: the date
# on the manual pages. Taken from the changelog rather than the clock, it is
# the same in every build of a release (reproducible without
# SOURCE_DATE_EPOCH), and a new release dates the pages by its new entry.
function(teledir_release_date var)
  set(changelog ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
  # The entry's last line: " -- Name <address>  Mon, 07 Dec 2026 12:00:00 +0000".
  file(STRINGS ${changelog} signature REGEX "^ -- " LIMIT_COUNT 1)
  if(NOT signature MATCHES "  [A-Z][a-z][a-z], ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "packaging/debian/changelog: the newest entry has no date")
  endif()
  set(day ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  set(year ${CMAKE_MATCH_3})
  set(names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(numbers 01 02 03 04 05 06 07 08 09 10 11 12)
  list(FIND names ${name} month)
  if(month EQUAL -1)
    message(FATAL_ERROR "packaging/debian/changelog: no month \"${name}\"")
  endif()
  list(GET numbers ${month} month)
  string(REGEX REPLACE "^([0-9])$" "0\\1" day ${day})
  set(${var} ${year}-${month}-${day} PARENT_SCOPE)
endfunction()
teledir_release_date(TELEDIR_RELEASE_DATE)

# teledir_install_manual_page(NAME SECTION): except on Windows, installs the
# manual page man/NAME.SECTION into share/man/manSECTION, with
# @PROJECT_VERSION@ and @TELEDIR_RELEASE_DATE@ filled in. The Debian package
# takes the page gzipped (component "debian"), every other install the page
# as it is (component "manual").
function(teledir_install_manual_page name section)
  if(WIN32)
    return()
  endif()
  set(page ${PROJECT_BINARY_DIR}/man/${name}.${section})
  configure_file(${PROJECT_SOURCE_DIR}/man/${name}.${section} ${page} @ONLY)
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT manual)
  if(TELEDIR_GZIP)
    teledir_gzip(${page})
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
      COMPONENT debian EXCLUDE_FROM_ALL)
  endif()
endfunction()

# teledir_install_program(TARGET): installs the program TARGET and, except
# on Windows, its manual page man/TARGET.1.
function(teledir_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${TELEDIR_INSTALL_BINDIR})
  teledir_install_manual_page(${target} 1)
endfunction()

# teledir_install_completion(PROGRAM): except on Windows, installs the bash
# completion completion/PROGRAM into share/bash-completion/completions, where
# bash-completion's loader finds it on the first <Tab> after PROGRAM. Only a
# file: it is installed whether or not PROGRAM is built.
function(teledir_install_completion program)
  if(WIN32)
    return()
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/completion/${program}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endfunction()
