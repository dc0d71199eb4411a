# The Debian package installs under /usr; the archive is relocatable from its top.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
# Without debug symbols of its own, the portable archive ships its programs stripped.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_STRIP_FILES ON)
endif()
# Time stamps in the package come from the changelog's date unless the caller gives one.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_VOSTREL_SOURCE_DATE_EPOCH}")
endif()
