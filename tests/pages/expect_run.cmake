# cmake -DCOMMAND=word|word|... -DEXPECT_EXIT=N -DEXPECT_STDOUT=regex -DEXPECT_STDERR=regex -P expect_run.cmake
# Runs a page through the host and checks its exit code and output. The
# words of COMMAND are separated by "|".
string(REPLACE "|" ";" COMMAND "${COMMAND}")
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE exit_code OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("exit ${exit_code}\nstdout:\n${out}\nstderr:\n${err}")
if(NOT exit_code STREQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit code ${exit_code}, expected ${EXPECT_EXIT}")
endif()
if(DEFINED EXPECT_STDOUT AND NOT out MATCHES "${EXPECT_STDOUT}")
  message(FATAL_ERROR "stdout does not match ${EXPECT_STDOUT}")
endif()
if(DEFINED EXPECT_STDERR AND NOT err MATCHES "${EXPECT_STDERR}")
  message(FATAL_ERROR "stderr does not match ${EXPECT_STDERR}")
endif()
