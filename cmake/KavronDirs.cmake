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

# kavron_check_shipped_links(SHIPPED dir... LAB dir...): what ships must not depend on
# the test bench. Stops the configuration when a target of a shipped folder links,
# directly or through other libraries, a target of a lab folder. Call once, at the end
# of the top-level CMakeLists.txt, when every folder has been added.
function(kavron_check_shipped_links)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "SHIPPED;LAB")
  set(forbidden)
  foreach(dir ${arg_LAB})
    _kavron_folder_targets(${CMAKE_CURRENT_SOURCE_DIR}/${dir} targets)
    foreach(t ${targets})
      set(lab_folder_of_${t} ${dir})
    endforeach()
    list(APPEND forbidden ${targets})
  endforeach()
  foreach(dir ${arg_SHIPPED})
    _kavron_folder_targets(${CMAKE_CURRENT_SOURCE_DIR}/${dir} targets)
    foreach(shipped ${targets})
      _kavron_find_link(${shipped} "${forbidden}" lib path)
      if(lib)
        message(FATAL_ERROR "${shipped} (shipped, ${dir}/) links ${lib}, a lab library "
          "(${lab_folder_of_${lib}}/): ${path}. What ships must not depend on the test bench.")
      endif()
    endforeach()
  endforeach()
endfunction()

# kavron_check_window_less(LIBRARIES target... WINDOWS target...): the libraries that
# make no window (what kavronctl links) must not depend on the ones that do. Stops the
# configuration when one of LIBRARIES links, directly or through other libraries, one
# of WINDOWS. Call once every folder has been added.
function(kavron_check_window_less)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "LIBRARIES;WINDOWS")
  foreach(library ${arg_LIBRARIES})
    _kavron_find_link(${library} "${arg_WINDOWS}" lib path)
    if(lib)
      message(FATAL_ERROR "${library} (window-less) links ${lib}, a library of windows: ${path}. "
        "The window's part belongs to a library of its own that links the window-less one.")
    endif()
  endforeach()
endfunction()

# The first of the targets `forbidden` that `start` links, directly or through other
# libraries (breadth first through LINK_LIBRARIES and INTERFACE_LINK_LIBRARIES), in
# `out`, with the path to it in `out_path`; empty when it links none.
function(_kavron_find_link start forbidden out out_path)
  set(queue ${start})
  set(seen ${start})
  set(path_to_${start} ${start})
  while(queue)
    list(POP_FRONT queue t)
    get_target_property(direct ${t} LINK_LIBRARIES)
    get_target_property(interface ${t} INTERFACE_LINK_LIBRARIES)
    foreach(lib IN LISTS direct interface)
      # A library linked from another folder is wrapped in ::@(...) markers;
      # $<LINK_ONLY:...> is a static library's private link.
      if(NOT lib OR lib MATCHES "NOTFOUND$" OR lib MATCHES "^::@")
        continue()
      endif()
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
      string(REGEX REPLACE "::@\\(.*\\)$" "" lib "${lib}")
      if(NOT TARGET ${lib} OR lib IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${lib})
      set(path_to_${lib} "${path_to_${t}} -> ${lib}")
      if(lib IN_LIST forbidden)
        set(${out} ${lib} PARENT_SCOPE)
        set(${out_path} "${path_to_${lib}}" PARENT_SCOPE)
        return()
      endif()
      list(APPEND queue ${lib})
    endforeach()
  endwhile()
  set(${out} "" PARENT_SCOPE)
  set(${out_path} "" PARENT_SCOPE)
endfunction()

# The targets a folder defines, its subfolders' included.
function(_kavron_folder_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    _kavron_folder_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()
