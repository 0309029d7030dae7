# kavron_add_subdirectories(dir...): adds each listed folder of the current
# directory. A listed folder without a CMakeLists.txt is an error, never a silent
# skip: a mistyped or lost name must not quietly drop a library or a test suite.
function(kavron_add_subdirectories)
  foreach(dir ${ARGN})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      message(FATAL_ERROR "${dir}: listed in ${CMAKE_CURRENT_LIST_FILE} but ${CMAKE_CURRENT_SOURCE_DIR}/${dir} has no CMakeLists.txt")
    endif()
    add_subdirectory(${dir})
  endforeach()
endfunction()
