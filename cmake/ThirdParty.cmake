# Third-party code comes from Debian packages:
#   googletest   (/usr/src/googletest, built from source for both builds)
#   CLI11, nlohmann-json (header-only). For the mingw build the include path must not
#   point at /usr/include as a whole, so each library's own folder is copied into the
#   build tree and only that copy is put on the include path (the same for both builds).
set(KAVRON_THIRDPARTY_INCLUDE ${CMAKE_BINARY_DIR}/thirdparty/include)
foreach(lib CLI nlohmann)
  if(NOT EXISTS /usr/include/${lib})
    message(FATAL_ERROR "/usr/include/${lib} is missing: run tools/setup.sh")
  endif()
  file(COPY /usr/include/${lib} DESTINATION ${KAVRON_THIRDPARTY_INCLUDE})
endforeach()
add_library(thirdparty_headers INTERFACE)
target_include_directories(thirdparty_headers SYSTEM INTERFACE ${KAVRON_THIRDPARTY_INCLUDE})

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
  message(FATAL_ERROR "/usr/src/googletest is missing: run tools/setup.sh")
endif()
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# googletest's own code is not ours to warn about.
foreach(t gtest gtest_main gmock gmock_main)
  if(TARGET ${t})
    target_compile_options(${t} PRIVATE -w)
  endif()
endforeach()
