# Runs brindaq-cli as a user does, on one table of cases, and compares whole outputs.
# -DCLI=<the program> -DCOMPLETION=<its bash completion> [-DEMULATOR=<what runs it, "|" for ";">]
cmake_minimum_required(VERSION 3.25)  # empty list elements are kept
include(${CMAKE_CURRENT_LIST_DIR}/../expect_command.cmake)

string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
set(windows FALSE)
if(CLI MATCHES "\\.exe$")
  set(windows TRUE)
endif()
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

# One answer of every operation: the clicks of every button that every edition's tests share, with
# the operands that the operation reads (as --help names them: "  inverse A B").
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE help_text)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../data/every_button.tsv rows REGEX "^[^#]")
list(LENGTH rows row_count)
if(NOT row_count EQUAL 15)
  message(SEND_ERROR "every_button.tsv: ${row_count} rows, not 15")
endif()
foreach(row IN LISTS rows)
  string(REPLACE "\t" ";" fields "${row}")
  list(GET fields 0 command)
  string(REGEX MATCH "\n  ${command}(( [ABC])*)  " ignored "${help_text}")
  string(REGEX MATCHALL "[ABC]" read "${CMAKE_MATCH_1}")
  list(LENGTH read count)
  list(SUBLIST fields 1 ${count} operands)
  list(SUBLIST fields 4 -1 lines)
  list(JOIN lines "\n" lines)
  answer(${command} ${operands} LINES "${lines}\n")
endforeach()
# And what the command line adds: a leading number of a text, two lines that say there is no
# answer, an answer with no lines at all.
answer(twin-primes 1 3 LINES "   NO TWIN PRIMES\n   IN THIS INTERVAL !\n")
answer(factors 12abc LINES "    2\n    2\n    3\n")
answer(inverse 4 6 LINES "  NO SOLUTION !\n")
answer(goldbach 4 LINES "")

# A notice: on standard error alone, status 1. A missing operand is an empty box, and after the
# operation's name (or after "--") everything is an operand, also what looks like an option.
set(notice_a "brindaq-cli: A MUST BE INTEGER > 0\n")
expect_command(STATUS 1 ERROR "brindaq-cli: C MUST BE INTEGER > 0\n" COMMAND ${CLI} power-mod 2 10)
expect_command(STATUS 1 ERROR "${notice_a}" COMMAND ${CLI} factors -4)
expect_command(STATUS 1 ERROR "${notice_a}" COMMAND ${CLI} -- factors -4)
expect_command(STATUS 1 ERROR "${notice_a}" COMMAND ${CLI} --raw -- factors --raw)

# An operand that looks like an option is followed by one hint, after a notice or a usage error.
expect_command(STATUS 1
  ERROR "${notice_a}brindaq-cli: '--help' was read as an operand; options go before the operation\n"
  COMMAND ${CLI} factors --help)
expect_command(STATUS 2 ERROR "brindaq-cli: too many operands: 'factors' reads A only${see_help}\
brindaq-cli: '-h' was read as an operand; options go before the operation\n"
  COMMAND ${CLI} factors 12 -h)

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

# A name the program does not know is quoted, never echoed raw: a terminal's escape sequence and a
# newline come out escaped, and a long name is cut.
string(ASCII 27 escape)
string(ASCII 7 bell)
expect_command(STATUS 2 ERROR "brindaq-cli: unknown operation $'\\ec\\e7red\\a'${see_help}"
               COMMAND ${CLI} "${escape}c${escape}7red${bell}" 1)
expect_command(STATUS 2 ERROR "brindaq-cli: unknown option $'--a\\nb'${see_help}"
               COMMAND ${CLI} "--a\nb" factors)
# The longest argument that Linux passes (MAX_ARG_STRLEN, less the string's end); a whole Windows
# command line holds at most 32767 characters.
if(windows)
  string(REPEAT x 32000 long_name)
else()
  string(REPEAT x 131071 long_name)
endif()
string(REPEAT x 64 shown)
expect_command(STATUS 2 ERROR "brindaq-cli: unknown operation '${shown}'...${see_help}"
               COMMAND ${CLI} ${long_name})

# Output that cannot be written is an error, not a silent success.
expect_command(STATUS 1 ERROR "brindaq-cli: write error: No space left on device\n"
               OUTPUT_FILE /dev/full COMMAND ${CLI} primes 1 10000)

# JSON: one object on one line, the notice in it; any byte of an operand comes out as valid JSON
# and UTF-8 (a byte that is not UTF-8 as U+FFFD, a control character as \u00XX).
expect_command(STATUS 0
  OUTPUT "{\"operation\":\"factors\",\"range\":\"window\",\"operands\":[\"360\"],\"lines\":[\"2\",\"2\",\"2\",\"3\",\"3\",\"5\"],\"notice\":null}\n"
  COMMAND ${CLI} --json factors 360)
expect_command(STATUS 1
  OUTPUT "{\"operation\":\"goldbach\",\"range\":\"window\",\"operands\":[\"7\"],\"lines\":[],\"notice\":\"A MUST BE EVEN !\"}\n"
  COMMAND ${CLI} --json goldbach 7)
expect_command(STATUS 0
  OUTPUT "{\"operation\":\"inverse\",\"range\":\"window\",\"operands\":[\"3\",\"7\"],\"lines\":[\"    5\"],\"notice\":null}\n"
  COMMAND ${CLI} --raw --json inverse 3 7)
# The operand's bytes, sent through a batch: 12, a quote, a backslash, ESC, NUL, DEL, U+0085 (a
# control character of C1), é, a stray byte, x, and a surrogate written in UTF-8.
expect_command(STATUS 0
  OUTPUT "{\"line\":1,\"operation\":\"factors\",\"range\":\"window\",\"operands\":[\"12\\\"\\\\\\u001b\\u0000\\u007f\\u0085é�x���\"],\"lines\":[\"2\",\"2\",\"3\"],\"notice\":null}\n"
  COMMAND sh -c "printf 'factors 12\"\\\\\\033\\000\\177\\302\\205\\303\\251\\377x\\355\\240\\200\\n' | \"$@\" --json -" sh ${CLI})

# Questions on standard input, one to a line: answers in order, a bad line reported with its number
# without stopping the rest, the exit status the worst of them. Blanks, tabs and a carriage return
# separate the words; empty lines and comments are skipped, and the last line needs no newline.
set(questions "${CMAKE_CURRENT_BINARY_DIR}/questions.txt")
file(WRITE ${questions} "factors 360\n\n  # a comment\ngoldbach 7\nfactor 12\ninverse\t3  7\r\n"
                        "is-prime 7 1\ngoldbach 4\nnext-prime 13")
expect_command(STATUS 2 INPUT_FILE ${questions} COMMAND ${CLI} -
  OUTPUT "2\n2\n2\n3\n3\n5\n\nnotice: A MUST BE EVEN !\n\nerror: line 5: unknown operation 'factor'\n
5\n\nerror: line 7: too many operands: 'is-prime' reads A only\n\n\n17\n\n")
expect_command(STATUS 2 INPUT_FILE ${questions} COMMAND ${CLI} --json --raw -
  OUTPUT "{\"line\":1,\"operation\":\"factors\",\"range\":\"window\",\"operands\":[\"360\"],\"lines\":[\"    2\",\"    2\",\"    2\",\"    3\",\"    3\",\"    5\"],\"notice\":null}
{\"line\":4,\"operation\":\"goldbach\",\"range\":\"window\",\"operands\":[\"7\"],\"lines\":[],\"notice\":\"A MUST BE EVEN !\"}
{\"line\":5,\"error\":\"unknown operation 'factor'\"}
{\"line\":6,\"operation\":\"inverse\",\"range\":\"window\",\"operands\":[\"3\",\"7\"],\"lines\":[\"    5\"],\"notice\":null}
{\"line\":7,\"error\":\"too many operands: 'is-prime' reads A only\"}
{\"line\":8,\"operation\":\"goldbach\",\"range\":\"window\",\"operands\":[\"4\"],\"lines\":[],\"notice\":null}
{\"line\":9,\"operation\":\"next-prime\",\"range\":\"window\",\"operands\":[\"13\"],\"lines\":[\"    17\"],\"notice\":null}\n")
file(WRITE ${questions} "is-prime 4\ngoldbach 7\n")
expect_command(STATUS 1 INPUT_FILE ${questions} COMMAND ${CLI} -
  OUTPUT "A IS NOT A PRIME NUMBER\nFACTOR =  2\n\nnotice: A MUST BE EVEN !\n\n")
string(REPEAT 1 32769 too_long)
file(WRITE ${questions} "fibonacci 2\nfactors ${too_long}\nfibonacci 1\n")
expect_command(STATUS 2 INPUT_FILE ${questions} COMMAND ${CLI} -
  OUTPUT "1\n1\n\nerror: line 2: longer than 32768 bytes\n\n1\n\n")
expect_command(STATUS 2 ERROR "brindaq-cli: too many operands: '-' reads standard input only${see_help}"
               COMMAND ${CLI} - 1)
# Many answers are written in blocks; a full disk is still reported.
string(REPEAT "primes 1 10000\n" 100 questions_text)
file(WRITE ${questions} "${questions_text}")
expect_command(STATUS 1 ERROR "brindaq-cli: write error: No space left on device\n"
               INPUT_FILE ${questions} OUTPUT_FILE /dev/full COMMAND ${CLI} -)

expect_command(STATUS 0 OUTPUT "brindaq-cli 1.00\n" COMMAND ${CLI} --version)
expect_command(STATUS 0 OUTPUT "brindaq-cli 1.00\n" COMMAND ${CLI} -v)

# A byte-order mark at the start of a batch is skipped, as a carriage return before a newline is.
expect_command(STATUS 0 OUTPUT "2\n2\n3\n\nA IS A PRIME NUMBER!\n\n"
  COMMAND sh -c "printf '\\357\\273\\277factors 12\\r\\nis-prime 7\\r\\n' | \"$@\" -" sh ${CLI})

# The full range: read exactly, written in full digits, for one question and for a batch, the
# range named in the JSON answer; the window's range stays the default.
expect_command(STATUS 0 OUTPUT "71\n839\n1471\n6857\n" COMMAND ${CLI} --full-range factors 600851475143)
expect_command(STATUS 1 ERROR "brindaq-cli: NUMBER TOO LARGE !\n" COMMAND ${CLI} factors 600851475143)
expect_command(STATUS 1 ERROR "brindaq-cli: NUMBER TOO LARGE !\n"
               COMMAND ${CLI} --full-range is-prime 1E10000)
# Numbers of any size: 2^67 - 1; too many solutions, refused before any line; a question stopped
# by its time limit keeps what it established (a product of two primes of 35 digits is not split
# in a tenth of a second) and the next question of the batch goes on.
expect_command(STATUS 0 OUTPUT "193707721\n761838257287\n"
               COMMAND ${CLI} --full-range factors 147573952589676412927)
expect_command(STATUS 1 ERROR "brindaq-cli: TOO MANY SOLUTIONS !\n"
               COMMAND ${CLI} --full-range quadratic-congruence 1E30 1E30 1E30)
# A prime past 2^64 is proven before it is named prime; --certificate prints the proof after the
# verdict, in the form that PARI/GP's primecertisvalid reads (checked there once).
expect_command(STATUS 0 COMMAND ${CLI} --full-range --certificate is-prime 2^89-1
  OUTPUT "A IS A PRIME NUMBER!\n[[618970019642690137449562111, 48028407557342, 15030, 395023340376417740793003557, [69654462159013356258760469, 544418192288313174830111167]], [41182303369437266070659, 328511088222, 3580614, 6449907112557276854166, [31937296490584002258874, 17752471464959421234129]]]\n")
# An operand of the full range may be an integer expression, whose value the JSON answer shows
# beside its text (null for an operand refused); one too large is refused before it is computed.
expect_command(STATUS 0 OUTPUT "193707721\n761838257287\n"
               COMMAND ${CLI} --full-range factors 2^67-1)
expect_command(STATUS 1 ERROR "brindaq-cli: NUMBER TOO LARGE !\n"
               COMMAND ${CLI} --full-range is-prime "2^(2^20)+1")
expect_command(STATUS 1 COMMAND ${CLI} --full-range --json inverse "(10^21+1)/7" 0x
  OUTPUT "{\"operation\":\"inverse\",\"range\":\"full\",\"operands\":[\"(10^21+1)/7\",\"0x\"],\"values\":[\"142857142857142857143\",null],\"lines\":[],\"notice\":\"B MUST BE INTEGER > 0\"}\n")
set(hard 559483482664754320713546535627832819990521177981913160731093979686947)
file(WRITE ${questions} "factors ${hard}\nnext-prime 1E20\n")
expect_command(STATUS 124 INPUT_FILE ${questions} COMMAND ${CLI} --full-range --time-limit 0.1 -
  OUTPUT "NOT YET SPLIT =  ${hard}\nCALCULATION STOPPED !\n\n100000000000000000039\n\n")
file(WRITE ${questions} "is-prime 18446744073709551557\nnext-prime 1E18\n")
expect_command(STATUS 0 INPUT_FILE ${questions} COMMAND ${CLI} --full-range --json -
  OUTPUT "{\"line\":1,\"operation\":\"is-prime\",\"range\":\"full\",\"operands\":[\"18446744073709551557\"],\"values\":[\"18446744073709551557\"],\"lines\":[\"A IS A PRIME NUMBER!\"],\"notice\":null}
{\"line\":2,\"operation\":\"next-prime\",\"range\":\"full\",\"operands\":[\"1E18\"],\"values\":[\"1000000000000000000\"],\"lines\":[\"1000000000000000003\"],\"notice\":null}\n")
expect_command(STATUS 0 OUTPUT "brindaq-cli 1.00\n" COMMAND ${CLI} --raw --version --bogus)

# --help lists exactly the operations that the bash completion offers, and each of them is one
# that the program runs (an empty box gives a notice, not a usage error).
execute_process(COMMAND ${CLI} --help RESULT_VARIABLE status OUTPUT_VARIABLE help)
if(NOT status EQUAL 0 OR NOT help MATCHES "^Usage: brindaq-cli \\[OPTIONS\\] OPERATION \\[A \\[B \\[C\\]\\]\\]\n")
  message(SEND_ERROR "--help: status ${status}, text:\n${help}")
endif()
expect_command(STATUS 0 OUTPUT "${help}" COMMAND ${CLI} -h)
# The help fits a terminal of 80 columns.
string(REPLACE "\n" ";" help_lines "${help}")
foreach(line IN LISTS help_lines)
  string(LENGTH "${line}" width)
  if(width GREATER 79)
    message(SEND_ERROR "--help: a line of ${width} columns: ${line}")
  endif()
endforeach()
string(REGEX MATCHALL "\n  [a-z-]+ A[ BC]*  +[^\n]+\n      (A even, )?A[ ,BC]* <= [0-9]+" listed "${help}")
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
