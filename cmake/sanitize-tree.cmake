# Initial cache of the sanitizer tree (build/sanitize): the native parts built by clang
# with AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets. The
# Makefile and tools/fuzz configure it with: cmake -C cmake/sanitize-tree.cmake ...
set(CMAKE_C_COMPILER clang CACHE STRING "")
set(CMAKE_CXX_COMPILER clang++ CACHE STRING "")
set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "")
set(KAVRON_SANITIZE ON CACHE BOOL "")
