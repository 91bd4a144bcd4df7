# Run by CPack after it made the Debian package (before it copies the package
# to its place): adds the Vcs-Browser and Vcs-Git fields, which CPack cannot
# write, to the package's control file. CPack goes on when this fails; the
# installation check (scripts/check-install.sh) finds the fields missing.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  # The fields join the one stanza, before the blank line that ends it.
  file(READ "${tree}/DEBIAN/control" control)
  string(STRIP "${control}" control)
  file(WRITE "${tree}/DEBIAN/control" "${control}\n"
    "Vcs-Browser: ${CPACK_MAVROLIN_VCS_BROWSER}\nVcs-Git: ${CPACK_MAVROLIN_VCS_GIT}\n")
  execute_process(COMMAND dpkg-deb --root-owner-group --build "${tree}" "${deb}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
