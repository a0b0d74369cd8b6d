# Runs a replay program with its own empty temporary folder (TMPDIR) and fails
# when the program did not pass or left anything in that folder.
# cmake -DPROGRAM=... -DCORPUS=... -DSCRATCH=... -P leaves_no_scratch_folder.cmake
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "TMPDIR=${SCRATCH}" "${PROGRAM}" "${CORPUS}"
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${CORPUS}: ${result}")
endif()
file(GLOB left "${SCRATCH}/*")
if(left)
  message(FATAL_ERROR "left behind in its temporary folder: ${left}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
