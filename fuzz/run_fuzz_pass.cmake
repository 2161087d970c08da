# One short, reproducible fuzzing pass, run by CTest: writes the seed corpus
# afresh, copies it (libFuzzer adds what it finds to the corpus folder) and
# runs the fuzzer on the copy with a fixed seed and bounded runs and time.
# Usage: cmake -D SEEDS=<seed writer> -D FUZZER=<fuzzer> -D WORK=<folder> -P run_fuzz_pass.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/artifacts")

execute_process(COMMAND "${SEEDS}" "${WORK}/seeds" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "writing the seeds failed: ${result}")
endif()
file(COPY "${WORK}/seeds/" DESTINATION "${WORK}/corpus")

execute_process(
  COMMAND "${FUZZER}" -seed=1 -runs=20000 -max_total_time=30 -max_len=8192
          "-artifact_prefix=${WORK}/artifacts/" "${WORK}/corpus"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the fuzzer found a fault (exit ${result}); see ${WORK}/artifacts")
endif()
