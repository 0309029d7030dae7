# Under Wine a process that crashes does not always end with a failing status, so a
# Windows GoogleTest suite passes only when it printed its verdict and no test
# failed. Call at the end of a test folder's CMakeLists.txt.
function(kavron_gtest_verdicts)
  if(NOT WIN32)
    return()
  endif()
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(t ${tests})
    get_test_property(${t} PASS_REGULAR_EXPRESSION pass)
    if(NOT pass)
      set_tests_properties(${t} PROPERTIES
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
        FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
    endif()
  endforeach()
endfunction()

# In the sanitizer tree every test runs with the sanitizers' runtime options
# (cmake/sanitizer-options.env); the lab hands them on to the simulator and to the
# kavronctl it starts. Call at the end of a native test folder's CMakeLists.txt, after
# the tests' own ENVIRONMENT is set.
function(kavron_sanitizer_environment)
  if(NOT KAVRON_SANITIZE)
    return()
  endif()
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(t ${tests})
    set_property(TEST ${t} APPEND PROPERTY ENVIRONMENT ${KAVRON_SANITIZER_ENV})
  endforeach()
endfunction()
