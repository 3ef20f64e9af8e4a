# Run by `cmake --install` once the program is in place: the command that
# starts it (<bindir>/clipshift, a link to the program) and its desktop
# entry, both naming the prefix of this install (which --prefix may change).
# Set before: QELO_INSTALL_PROGRAM_DIR, QELO_INSTALL_BINDIR,
# QELO_INSTALL_DATADIR (relative to the prefix), QELO_DESKTOP_TEMPLATE.
set(bin "${CMAKE_INSTALL_PREFIX}/${QELO_INSTALL_BINDIR}")
set(QELO_LAUNCHER "${bin}/clipshift")
# The Exec key quotes the path: these characters would need escapes there.
if(QELO_LAUNCHER MATCHES "[\"`$\\%\n]")
  message(FATAL_ERROR "The install prefix ${CMAKE_INSTALL_PREFIX} holds a character a desktop entry cannot name")
endif()

file(MAKE_DIRECTORY "$ENV{DESTDIR}${bin}")
file(RELATIVE_PATH target "${bin}" "${CMAKE_INSTALL_PREFIX}/${QELO_INSTALL_PROGRAM_DIR}/Clipshift")
message(STATUS "Installing: $ENV{DESTDIR}${QELO_LAUNCHER} -> ${target}")
file(CREATE_LINK "${target}" "$ENV{DESTDIR}${QELO_LAUNCHER}" SYMBOLIC)

set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${QELO_INSTALL_DATADIR}/applications/clipshift.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${QELO_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
