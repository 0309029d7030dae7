# The sanitizer tree (KAVRON_SANITIZE, see cmake/sanitize-tree.cmake): every native
# program and test of the tree is built with AddressSanitizer and
# UndefinedBehaviorSanitizer. Undefined behaviour is not recovered from: the first
# report ends the program. With clang the tree also builds the fuzz targets
# (tests/fuzz, KAVRON_FUZZ).
if(WIN32)
  message(FATAL_ERROR "KAVRON_SANITIZE is for the native tree only")
endif()
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

# The runtime options every test of the tree runs with (kavron_sanitizer_environment).
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/sanitizer-options.env KAVRON_SANITIZER_ENV REGEX "^[A-Z_]+=")

if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(KAVRON_FUZZ ON)
else()
  message(STATUS "Sanitizer tree with ${CMAKE_CXX_COMPILER_ID}: no fuzz targets (libFuzzer needs clang)")
  set(KAVRON_FUZZ OFF)
endif()
