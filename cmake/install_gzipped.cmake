# Run by `cmake --install` and cpack: the manual pages name the data folder under the prefix
# being installed to (the package's /usr, or any --prefix), so they are finished here, and
# they and the changelog go in gzipped as Debian's policy asks (-n: no name or time stamp,
# so the package is the same at every build).
# Set by the caller: ZORBIT_GZ_FOLDER, ZORBIT_DATA_INSTALL_DIR, ZORBIT_MAN_INSTALL_DIR,
# ZORBIT_DOC_INSTALL_DIR.
cmake_path(ABSOLUTE_PATH ZORBIT_DATA_INSTALL_DIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
           OUTPUT_VARIABLE ZORBIT_DATA_PATH)

function(zorbit_gzip name destination)
  set(page "${ZORBIT_GZ_FOLDER}/${name}")
  configure_file("${page}.in" "${page}" @ONLY)
  file(REMOVE "${page}.gz")
  execute_process(COMMAND gzip -9n "${page}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${page} failed")
  endif()
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${destination}" TYPE FILE
       FILES "${page}.gz")
endfunction()

zorbit_gzip(zorbit.6 "${ZORBIT_MAN_INSTALL_DIR}/man6")
zorbit_gzip(zorbit-options.6 "${ZORBIT_MAN_INSTALL_DIR}/man6")
zorbit_gzip(changelog "${ZORBIT_DOC_INSTALL_DIR}")
