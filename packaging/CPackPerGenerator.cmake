# The Debian package installs under /usr; the archive is relocatable from its top.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
