# A short run of one fuzz target: fixed seed, a fixed number of inputs (or 20 s, which the
# slowest targets reach first), over the checked-in seed corpus. New inputs go to a scratch
# directory in the build tree, emptied first, so the checked-in corpus never changes and every
# run starts from the same state.
#   cmake -DTARGET=path -DCORPUS=dir -DWORK=dir [-DDICTIONARY=file] [-DRUNS=n] -P run_target.cmake
if(NOT DEFINED RUNS)
  set(RUNS 20000)
endif()
set(options)
if(DICTIONARY)
  list(APPEND options -dict=${DICTIONARY})
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(
  COMMAND ${TARGET} -seed=1 -runs=${RUNS} -max_len=4096 -timeout=10 -rss_limit_mb=2048
          -max_total_time=20 -print_final_stats=1 ${options} ${WORK} ${CORPUS}
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TARGET} failed (${result}); the input that failed is in ${WORK}")
endif()
