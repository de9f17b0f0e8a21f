# The window program answers --help, --version and a wrong option without a display and without
# a window. -DBRINDAQ=<the program>
include(${CMAKE_CURRENT_LIST_DIR}/../expect_command.cmake)

expect_command(STATUS 0 OUTPUT "brindaq 1.00\n" COMMAND ${BRINDAQ} --version)
expect_command(STATUS 0 OUTPUT "brindaq 1.00\n" COMMAND ${BRINDAQ} -platform offscreen -v)
expect_command(STATUS 0 OUTPUT "Usage: ${BRINDAQ} [options]
QUARVEL, a calculator for elementary number theory.
brindaq-cli runs the same operations on the command line.

Options:
  -h, --help     Displays help on commandline options.
  --help-all     Displays help including Qt specific options.
  -v, --version  Displays version information.
" COMMAND ${BRINDAQ} -style=fusion --help)
expect_command(STATUS 2 ERROR "brindaq: Unknown option 'bogus'. See 'brindaq --help'.\n"
               COMMAND ${BRINDAQ} --bogus)
expect_command(STATUS 2 ERROR "brindaq: unexpected argument 'file'. See 'brindaq --help'.\n"
               COMMAND ${BRINDAQ} file)
