# Run by CPack after it made the packages. CMake 3.25 writes the md5sums of a -dbgsym
# package with the staging folder's absolute path in front of each file, so `debsums`
# and `dpkg --verify` cannot check the installed symbols, and the package differs
# between two build folders. The package is unpacked, its sums are given the paths
# relative to the root (as the main package has them), and dpkg-deb packs it again;
# SOURCE_DATE_EPOCH (set in CPackPerGenerator.cmake) keeps the times fixed.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.ddeb$")
    continue()
  endif()
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(READ "${tree}/DEBIAN/md5sums" sums)
  string(REGEX REPLACE "  [^\n]*-dbgsym/" "  " sums "${sums}")
  file(WRITE "${tree}/DEBIAN/md5sums" "${sums}")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip --build "${tree}" "${package}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
