# Run by make install (cmake --install) after the program and the pictures:
# writes <bin>/rilk, the script that starts the program with -p and the place
# of the pictures under the prefix being installed to, then the user's
# options, which come later and so win. Installed as a file of the install,
# so that the manifest, and with it make uninstall, knows it.
# Both paths are quoted for the shell, whatever characters the prefix holds.
set(program "${CMAKE_INSTALL_PREFIX}/${RILK_PROGRAMDIR}/rilk")
set(pictures "${CMAKE_INSTALL_PREFIX}/${RILK_PICTUREDIR}/")
string(REPLACE "'" "'\\''" program "${program}")
string(REPLACE "'" "'\\''" pictures "${pictures}")
file(WRITE "${RILK_WRAPPER}" "#!/bin/sh\nexec '${program}' -p '${pictures}' \"$@\"\n")
file(INSTALL "${RILK_WRAPPER}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${RILK_BINDIR}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)
