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

# KAVRON_LAB: lab/lab, as a test's COMMAND starts it, with the device simulator of
# this build (lab/lab run --sim). The simulator is a native program: the native and
# sanitizer trees run their own; the Windows tree runs the one of the native tree
# KAVRON_NATIVE_TREE, and its tests that do are marked with kavron_needs_native_tree:
# they wait for the native_tree test (tests/CMakeLists.txt), which fails, naming what is
# missing, when that tree has not been built (make build builds it first, make win
# alone does not). The simulator goes into the command rather than the ENVIRONMENT
# property: ctest applies a property to every test of that name in the trees
# build/CTestTestfile.cmake lists, so the last tree's simulator would win in all three.
if(WIN32)
  set(KAVRON_NATIVE_TREE ${KAVRON_ROOT}/build/native CACHE PATH
    "The native build tree whose simulator and storm the Windows tree's lab tests run")
  set(KAVRON_NATIVE_DEVSIM ${KAVRON_NATIVE_TREE}/lab/devsim/kavron-devsim)
  set(KAVRON_NATIVE_STORM ${KAVRON_NATIVE_TREE}/lab/storm/kavron-storm)
  set(KAVRON_NATIVE_STORM_TESTS ${KAVRON_NATIVE_TREE}/tests/integration/storm_lab_tests)
  set(KAVRON_LAB ${CMAKE_COMMAND} -E env KAVRON_DEVSIM=${KAVRON_NATIVE_DEVSIM} ${KAVRON_ROOT}/lab/lab)
else()
  set(KAVRON_LAB ${CMAKE_COMMAND} -E env KAVRON_DEVSIM=$<TARGET_FILE:kavron-devsim> ${KAVRON_ROOT}/lab/lab)
endif()
function(kavron_needs_native_tree)
  if(WIN32)
    set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED native_tree)
  endif()
endfunction()

# Every test carries one label, its tier (the build_test_tiers test of each tree checks
# that none is missing). make check runs unit and gui, make test all of them.
#   unit     no window, no socket, no lab: native suites, the tree's own checks, the
#            fuzz targets' short runs, and the Windows builds of the unit suites
#   gui      real windows under Wine, with a private prefix and Xvfb but no lab
#            (lab/wine-test, the Windows tree's emulator): no protocol socket
#   lab      protocol sockets in a lab of network namespaces (lab/lab run), as root
#   e2e      the real utility under Wine in a lab, driven from a second process
#   release  the shipped programs as built and packaged, the installer, two builds
#   soak     the short check of the long run
# A test that has the same name in two trees has the same tier in both: ctest merges
# the labels of same-named tests of the trees build/CTestTestfile.cmake lists.
set(KAVRON_TEST_TIERS unit gui lab e2e release soak)
function(kavron_label tier)
  if(NOT tier IN_LIST KAVRON_TEST_TIERS)
    message(FATAL_ERROR "kavron_label: ${tier} is not a tier (${KAVRON_TEST_TIERS})")
  endif()
  set_tests_properties(${ARGN} PROPERTIES LABELS ${tier})
endfunction()
