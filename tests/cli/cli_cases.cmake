# Runs brindaq-cli as a user does, on one table of cases, and compares whole outputs.
# -DCLI=<the program> -DCOMPLETION=<its bash completion> [-DEMULATOR=<what runs it, "|" for ";">]
include(${CMAKE_CURRENT_LIST_DIR}/../expect_command.cmake)

string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
set(CLI ${EMULATOR} ${CLI})

set(see_help "; see 'brindaq-cli --help'\n")

# answer(<arguments>... LINES <the lines as the window's list shows them>)
# --raw must print the lines as they are, and the plain call the same lines without their leading
# blanks.
function(answer)
  cmake_parse_arguments(PARSE_ARGV 0 case "" "LINES" "")
  string(REGEX REPLACE "\n$" "" lines "${case_LINES}")
  string(REPLACE "\n" ";" lines "${lines}")
  set(copied)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^ +" "" line "${line}")
    string(APPEND copied "${line}\n")
  endforeach()
  expect_command(STATUS 0 OUTPUT "${case_LINES}" COMMAND ${CLI} --raw ${case_UNPARSED_ARGUMENTS})
  expect_command(STATUS 0 OUTPUT "${copied}" COMMAND ${CLI} ${case_UNPARSED_ARGUMENTS})
endfunction()

# One answer of every operation, with operands whose order matters where there are several.
answer(primes 1 10 LINES "    2\n    3\n    5\n    7\n")
answer(twin-primes 1 3 LINES "   NO TWIN PRIMES\n   IN THIS INTERVAL !\n")
answer(prime-count 1 10 LINES "    4\n")
answer(next-prime 13 LINES "    17\n")
answer(two-squares 25 LINES "  25  =   3^2  +   4^2\n")
answer(goldbach 10 LINES "  10  =   3  +   7\n  10  =   5  +   5\n")
answer(collatz 3 LINES "    10\n    5\n    16\n    8\n    4\n    2\n    1\n")
answer(factors 12abc LINES "    2\n    2\n    3\n")
answer(is-prime 7 LINES " A IS A PRIME NUMBER!\n")
answer(power-mod 2 10 1000 LINES "    24\n")
answer(fibonacci 5 LINES "    1\n    1\n    2\n    3\n    5\n")
answer(linear-congruence 3 4 7 LINES "    6\n")
answer(quadratic-congruence 1 1 8 LINES "    1\n    3\n    5\n    7\n")
answer(inverse 4 6 LINES "  NO SOLUTION !\n")
answer(divisors 12 LINES " NUMBER OF DIVISORS =  5\n SUM OF DIVISORS =  16\n")
answer(goldbach 4 LINES "")

# A notice: on standard error alone, status 1. A missing operand is an empty box, and after the
# operation's name (or after "--") everything is an operand, also what looks like an option.
set(notice_a "brindaq-cli: A MUST BE INTEGER > 0\n")
expect_command(STATUS 1 ERROR "brindaq-cli: C MUST BE INTEGER > 0\n" COMMAND ${CLI} power-mod 2 10)
expect_command(STATUS 1 ERROR "${notice_a}" COMMAND ${CLI} factors -4)
expect_command(STATUS 1 ERROR "${notice_a}" COMMAND ${CLI} -- factors -4)
expect_command(STATUS 1 ERROR "${notice_a}" COMMAND ${CLI} --raw -- factors --raw)
expect_command(STATUS 1 ERROR "${notice_a}" COMMAND ${CLI} factors --help)

# Usage errors: status 2, one line naming the problem.
expect_command(STATUS 2 ERROR "brindaq-cli: missing operation${see_help}" COMMAND ${CLI})
expect_command(STATUS 2 ERROR "brindaq-cli: missing operation${see_help}" COMMAND ${CLI} --raw --)
expect_command(STATUS 2 ERROR "brindaq-cli: unknown operation 'foo'${see_help}"
               COMMAND ${CLI} foo 1)
# A name is echoed byte for byte, also one that is not ASCII (on Windows, where the program's code
# page is UTF-8).
expect_command(STATUS 2 ERROR "brindaq-cli: unknown operation 'π'${see_help}" COMMAND ${CLI} π)
expect_command(STATUS 2 ERROR "brindaq-cli: unknown operation '--raw'${see_help}"
               COMMAND ${CLI} -- --raw factors 12)
expect_command(STATUS 2 ERROR "brindaq-cli: unknown option '-4'${see_help}"
               COMMAND ${CLI} -4 factors)
expect_command(STATUS 2 ERROR "brindaq-cli: unknown option '--rawer'${see_help}"
               COMMAND ${CLI} --rawer factors 12)
expect_command(STATUS 2 ERROR "brindaq-cli: too many operands: 'factors' reads A only${see_help}"
               COMMAND ${CLI} factors 12 1)
expect_command(STATUS 2
  ERROR "brindaq-cli: too many operands: 'inverse' reads A and B only${see_help}"
  COMMAND ${CLI} inverse 3 7 1)
expect_command(STATUS 2
  ERROR "brindaq-cli: too many operands: 'power-mod' reads A, B and C only${see_help}"
  COMMAND ${CLI} power-mod 2 10 1000 1)

# Output that cannot be written is an error, not a silent success.
expect_command(STATUS 1 ERROR "brindaq-cli: write error: No space left on device\n"
               OUTPUT_FILE /dev/full COMMAND ${CLI} primes 1 10000)

expect_command(STATUS 0 OUTPUT "brindaq-cli 1.00\n" COMMAND ${CLI} --version)
expect_command(STATUS 0 OUTPUT "brindaq-cli 1.00\n" COMMAND ${CLI} --raw --version --bogus)

# --help lists exactly the operations that the bash completion offers, and each of them is one
# that the program runs (an empty box gives a notice, not a usage error).
execute_process(COMMAND ${CLI} --help RESULT_VARIABLE status OUTPUT_VARIABLE help)
if(NOT status EQUAL 0 OR NOT help MATCHES "^Usage: brindaq-cli \\[OPTIONS\\] OPERATION \\[A \\[B \\[C\\]\\]\\]\n")
  message(SEND_ERROR "--help: status ${status}, text:\n${help}")
endif()
string(REGEX MATCHALL "\n  [a-z-]+ A[ BC]*  +[^\n]+\n +A <= [0-9]+" listed "${help}")
string(REGEX MATCHALL "\n  [a-z-]+" listed "${listed}")
string(REPLACE "\n  " "" listed "${listed}")
file(READ ${COMPLETION} completion)
string(REGEX MATCH "operations=\"([^\"]+)\"" ignored "${completion}")
string(REGEX MATCHALL "[a-z-]+" completed "${CMAKE_MATCH_1}")
if(NOT listed STREQUAL completed)
  message(SEND_ERROR "--help lists [${listed}], the completion offers [${completed}]")
endif()
list(LENGTH listed count)
if(NOT count EQUAL 15)
  message(SEND_ERROR "--help lists ${count} operations: ${listed}")
endif()
foreach(operation IN LISTS completed)
  execute_process(COMMAND ${CLI} ${operation} RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 1)
    message(SEND_ERROR "${operation} with empty boxes: status ${status}, not 1")
  endif()
endforeach()
