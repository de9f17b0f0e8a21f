# brindaq-cli.exe ends its lines as Windows programs do, with CR LF, on both of its streams.
# (execute_process drops the CR when it reads a program's output, so the bytes are read from
# files.)  -DCLI=<brindaq-cli.exe> -DEMULATOR=<what runs it, "|" for ";">
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")

function(expect_bytes stream expected)
  file(READ ${stream}.txt bytes HEX)
  if(NOT bytes STREQUAL expected)
    message(SEND_ERROR "${stream}: ${bytes}, expected ${expected}")
  endif()
endfunction()

execute_process(COMMAND ${EMULATOR} ${CLI} factors 12 OUTPUT_FILE output.txt ERROR_FILE error.txt)
expect_bytes(output "320d0a320d0a330d0a")  # "2\r\n2\r\n3\r\n"
expect_bytes(error "")
execute_process(COMMAND ${EMULATOR} ${CLI} goldbach 7 OUTPUT_FILE output.txt ERROR_FILE error.txt)
expect_bytes(output "")
string(HEX "brindaq-cli: A MUST BE EVEN !" notice)
expect_bytes(error "${notice}0d0a")
