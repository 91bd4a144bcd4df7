# Run by CPack after it made the Debian package: adds the Vcs-Browser and
# Vcs-Git fields, which CPack cannot write, to the package's control file.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(APPEND "${tree}/DEBIAN/control"
    "Vcs-Browser: ${CPACK_MAVROLIN_VCS_BROWSER}\nVcs-Git: ${CPACK_MAVROLIN_VCS_GIT}\n")
  execute_process(COMMAND dpkg-deb --root-owner-group --build "${tree}" "${deb}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
