# The window program answers --help, --version and a wrong command line without a display and
# without a window, and says in one line when it finds no display to open the window on. Options
# it does not know may be Qt's, which only Qt can tell once it runs: those cases run off screen.
# -DBRINDAQ=<the program>
include(${CMAKE_CURRENT_LIST_DIR}/../expect_command.cmake)

set(help "Usage: brindaq [options]
QUARVEL, a calculator for elementary number theory.
brindaq-cli runs the same operations on the command line.

Options:
  -h, --help     Displays help on commandline options.
  --help-all     Displays help including Qt specific options.
  -v, --version  Displays version information.
  --full-range   Open the window on the full range: every operand read exactly,
                 as a whole number up to 18446744073709551615, within wider
                 limits.
")
expect_command(STATUS 0 OUTPUT "${help}" COMMAND ${BRINDAQ} --help)
expect_command(STATUS 0 OUTPUT "${help}" COMMAND ${BRINDAQ} -platform offscreen -style=fusion --help)
expect_command(STATUS 0 OUTPUT "brindaq 1.00\n" COMMAND ${BRINDAQ} --version)
expect_command(STATUS 0 OUTPUT "brindaq 1.00\n" COMMAND ${BRINDAQ} -platform offscreen -v)
expect_command(STATUS 2 ERROR "brindaq: Unknown option 'bogus'. See 'brindaq --help'.\n"
               COMMAND ${BRINDAQ} -platform offscreen --bogus)
expect_command(STATUS 2 ERROR "brindaq: unexpected argument 'file'. See 'brindaq --help'.\n"
               COMMAND ${BRINDAQ} file)
expect_command(STATUS 2 ERROR "brindaq: unexpected argument 'file'. See 'brindaq --help'.\n"
               COMMAND ${BRINDAQ} -platform offscreen --full-range file)

# No display: one line, and the status of a program that could not do what it was asked.
set(no_display "brindaq: no display could be opened: DISPLAY is not set\n")
expect_command(STATUS 2 ERROR "${no_display}" COMMAND ${BRINDAQ})
expect_command(STATUS 2 ERROR "${no_display}" COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=xcb ${BRINDAQ})
expect_command(STATUS 2 ERROR "${no_display}" COMMAND ${BRINDAQ} --bogus)

# --help-all lists Qt's own options as Qt knows them, also without a display.
execute_process(COMMAND ${BRINDAQ} --help-all RESULT_VARIABLE status OUTPUT_VARIABLE output)
if(NOT status EQUAL 0 OR NOT output MATCHES "\n  --platform <[^\n]*QPA plugin")
  message(SEND_ERROR "brindaq --help-all\n  status: ${status}\n  output: [${output}]")
endif()
