# Packages with CPack: `cpack -G DEB` and `cpack -G TGZ` in a build folder on
# Linux, `cpack -G ZIP` in a Windows build. The Debian package also carries
# the copyright file and the changelog Debian wants in its doc folder.
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The teledir authors")
set(CPACK_PACKAGE_CONTACT "The teledir authors <teledir@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
teledir keeps a small telephone directory of up to 16 entries, read from
the file telelist.dat in the current directory, sorted by last name. Its
numbered text menus search by first name, by last name and by area code
and number, and show the full list. Scripted through pipes, it prints
exactly its own text.]])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()

# What each package holds beyond `cmake --install`: see cpack-options.cmake.in.
install(FILES LICENSE DESTINATION ${TELEDIR_INSTALL_DOCDIR} COMPONENT licence EXCLUDE_FROM_ALL)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-options.cmake)
configure_file(${PROJECT_SOURCE_DIR}/packaging/cpack-options.cmake.in
  ${CPACK_PROJECT_CONFIG_FILE} @ONLY)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

if(NOT WIN32 AND TELEDIR_GZIP)
  include(${PROJECT_SOURCE_DIR}/packaging/debian/files.cmake)
endif()

include(CPack)
