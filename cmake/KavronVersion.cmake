# The version comes from res/version.h, the one place it is written (the resource
# scripts and packaging/make-packages read the same lines). Included before project():
# sets KAVRON_VERSION ("5.1.0.2").
set(_kavron_version_header ${CMAKE_CURRENT_LIST_DIR}/../res/version.h)
set(KAVRON_VERSION)
foreach(part MAJOR MINOR PATCH BUILD)
  file(STRINGS ${_kavron_version_header} line REGEX "^#define KAVRON_VERSION_${part}[ \t]+[0-9]+$")
  if(NOT line MATCHES "[ \t]([0-9]+)$")
    message(FATAL_ERROR "${_kavron_version_header}: no line \"#define KAVRON_VERSION_${part} NUMBER\"")
  endif()
  list(APPEND KAVRON_VERSION ${CMAKE_MATCH_1})
endforeach()
list(JOIN KAVRON_VERSION "." KAVRON_VERSION)
# A new version must reconfigure: project() and the packages' names take it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_kavron_version_header})
