# The payload build step on a folder of payload files (its own stand-ins, so that
# every size is right to begin with): the intact folder is embedded from where it is;
# with one file a byte too long and another missing, the step fails and names both.
#   cmake -DKAVRON_ROOT=... -DWORK=scratch folder -P payload_sizes.cmake
# (tests/CMakeLists.txt runs it.)
cmake_minimum_required(VERSION 3.20)
set(payloads ${WORK}/payloads)
file(REMOVE_RECURSE ${WORK})

function(make_payloads expect_ok)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DTABLE=${KAVRON_ROOT}/res/payloads.h -DRC_FILE=${WORK}/payloads.rc ${ARGN}
            -P ${KAVRON_ROOT}/res/make-payloads.cmake
    RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
  if(expect_ok AND NOT result EQUAL 0)
    message(FATAL_ERROR "make-payloads.cmake ${ARGN} failed:\n${errors}")
  elseif(NOT expect_ok AND result EQUAL 0)
    message(FATAL_ERROR "make-payloads.cmake ${ARGN} accepted a folder it must refuse")
  endif()
  set(errors "${errors}" PARENT_SCOPE)
endfunction()

make_payloads(TRUE -DSTAND_IN_DIR=${payloads})
make_payloads(TRUE -DPAYLOAD_DIR=${payloads})
file(STRINGS ${WORK}/payloads.rc btdog REGEX "^220 ")
if(NOT btdog STREQUAL "220 BT \"${payloads}/btdog\"")
  message(FATAL_ERROR "payloads.rc embeds btdog as: ${btdog}")
endif()

file(APPEND ${payloads}/nls_cp950.ko "x")
file(REMOVE ${payloads}/btdog)
make_payloads(FALSE -DPAYLOAD_DIR=${payloads})
foreach(expected "nls_cp950.ko \\(resource 174\\): 105792 bytes, expected 105791" "btdog \\(resource 220\\): missing")
  if(NOT errors MATCHES "${expected}")
    message(FATAL_ERROR "the refusal does not say \"${expected}\":\n${errors}")
  endif()
endforeach()
