# expect_command(STATUS <status> [OUTPUT <text>] [ERROR <text>] [INPUT_FILE <file>]
#                [OUTPUT_FILE <file>] COMMAND <program> <arguments>...)
# Runs the command and compares its exit status, its whole standard output and its whole
# standard error with the expected ones (empty when not given). A mismatch is reported and the
# script goes on, so that one run shows every failing case; it fails at the end.
function(expect_command)
  cmake_parse_arguments(PARSE_ARGV 0 expected "" "STATUS;OUTPUT;ERROR;INPUT_FILE;OUTPUT_FILE" "COMMAND")
  set(redirect)
  foreach(file INPUT_FILE OUTPUT_FILE)
    if(DEFINED expected_${file})
      list(APPEND redirect ${file} ${expected_${file}})
    endif()
  endforeach()
  execute_process(COMMAND ${expected_COMMAND} RESULT_VARIABLE status OUTPUT_VARIABLE output
                  ERROR_VARIABLE error ${redirect})
  list(JOIN expected_COMMAND " " shown)
  foreach(stream STATUS OUTPUT ERROR)
    string(TOLOWER ${stream} got)
    if(NOT "${${got}}" STREQUAL "${expected_${stream}}")
      message(SEND_ERROR "${shown}\n  ${got}: [${${got}}]\n  expected: [${expected_${stream}}]")
    endif()
  endforeach()
endfunction()
