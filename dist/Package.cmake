# The Debian package (cpack -G DEB): everything the install rules put in, below
# /usr, stripped, with the dependencies that dpkg-shlibdeps computes from the
# binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mavrolin)
set(CPACK_PACKAGE_VENDOR "Mavrolin-Projekt")
set(CPACK_PACKAGE_CONTACT "Mavrolin-Projekt <mavrolin@example.org>")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "logbook of the programming errors you made and found")
# Debian wants the long description in lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Mavrolin records the programming errors that a programmer made and found:\n"
  "the language, the category, the project, the day the error was found, the\n"
  "minutes its removal took and a description. It shows them in a sortable\n"
  "list with a filter by languages, categories and projects, refuses duplicate\n"
  "entries and keeps them in one binary database file (*.mvd). The user\n"
  "interface is German.\n"
  "\n"
  "The command-line tool mvd lists, fills, merges and checks database files\n"
  "without the window, and exchanges entries with spreadsheets (CSV and Excel\n"
  "workbooks).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Placeholders under the project's domain until it has a server of its own.
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://mavrolin.example.org/")
# CPack writes no Vcs fields; a script after the package adds them.
set(CPACK_MAVROLIN_VCS_BROWSER "https://mavrolin.example.org/git/mavrolin")
set(CPACK_MAVROLIN_VCS_GIT "https://mavrolin.example.org/git/mavrolin.git")
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/AddVcsFields.cmake)
# Qt's own dialogs in German; the mail link of the information dialog.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")

include(CPack)
