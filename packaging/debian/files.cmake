# The Debian package's copyright file (from LICENSE, in the machine-readable
# format) and its changelog, gzipped, for the component "debian".
set(debian_dir ${PROJECT_BINARY_DIR}/debian)

file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
if(NOT licence MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(.*)")
  message(FATAL_ERROR "LICENSE has no \"Copyright (c) ...\" line")
endif()
set(holder "${CMAKE_MATCH_1}")
set(terms "${CMAKE_MATCH_2}")
string(STRIP "${terms}" terms)
# Continuation lines: one leading blank, empty lines as " .".
string(REGEX REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REGEX REPLACE "\n" "\n " terms "${terms}")
file(WRITE ${debian_dir}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}

Files: *
Copyright: ${holder}
License: Expat
 ${terms}
")

# The changelog names each version; its newest entry must be this one.
set(changelog ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
set(debian_version ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
file(STRINGS ${changelog} newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^${PROJECT_NAME} \\(${debian_version}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog: the newest entry is not ${debian_version}")
endif()
configure_file(${changelog} ${debian_dir}/changelog.Debian COPYONLY)
teledir_gzip(${debian_dir}/changelog.Debian)

install(FILES ${debian_dir}/copyright ${debian_dir}/changelog.Debian.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
