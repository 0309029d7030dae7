# What the Windows build does for the programs it ships. Included by the top-level
# CMakeLists.txt for the Windows build only.
#
# Reproducible: two builds of one commit in different folders give the same bytes.
# The linker writes 0 for the PE header's time stamp instead of the time of the link,
# and the compiler writes the source and build folders, wherever they
# are, as "." and "build" into anything that names a file (debug information, the
# file names of assertions). gcc tries the last map first, so the build folder,
# which may lie inside the source folder, comes second.
add_compile_options(-ffile-prefix-map=${KAVRON_ROOT}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
add_link_options(-Wl,--no-insert-timestamp)

# kavron_shipped_executable(target): a program that goes into the packages. Its symbol
# table is stripped at link time (it only names our own functions, and is most of
# the code's size); Release builds only, so that a debug build keeps its symbols.
# The target `shipped` builds these programs and what they are made of, nothing else
# of the tree: make dist builds it alone.
add_custom_target(shipped)
function(kavron_shipped_executable target)
  target_link_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
  add_dependencies(shipped ${target})
endfunction()
