# Run by make install (cmake --install): writes the manual page with the
# paths of the install it belongs to (the pictures, the large set, the
# documentation), under whatever prefix the install goes to, and installs it
# as a file of the install, so that make uninstall knows it.
set(RILK_PICTURES "${CMAKE_INSTALL_PREFIX}/${RILK_PICTUREDIR}/")
set(RILK_DOCS "${CMAKE_INSTALL_PREFIX}/${RILK_DOCDIR}/")
set(RILK_LAUNCHER "${CMAKE_INSTALL_PREFIX}/${RILK_BINDIR}/rilk")
# Backslashes and leading periods would be read as roff requests.
foreach(path RILK_PICTURES RILK_DOCS RILK_LAUNCHER)
  string(REPLACE "\\" "\\e" ${path} "${${path}}")
  string(REPLACE "-" "\\-" ${path} "${${path}}")
endforeach()
configure_file("${RILK_MANUAL_IN}" "${RILK_MANUAL}" @ONLY)
file(INSTALL "${RILK_MANUAL}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${RILK_MANDIR}/man1"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
