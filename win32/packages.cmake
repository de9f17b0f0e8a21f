# Packs QUARVEL for Windows users: a portable zip and an installer, both from the same stripped
# programs and text. Run by the target brindaq_windows_packages:
#   cmake -DWINDOW=<brindaq.exe> -DCLI=<brindaq-cli.exe> -DSTRIP=<strip> -DZIP=<zip>
#         -DMAKENSIS=<makensis> -DICON=<brindaq.ico> -DVERSION=<1.00> -DPACKAGE=<path and name
#         without extension> -DSOURCE_DIR=<repository> -DSTAGE=<scratch folder>
#         -DFULL_RANGE_OPTION=<--full-range> -DGMP_NOTICE=<GMP's notice and licences>
#         -P packages.cmake
#
# The programs hold GMP, linked in statically, so README.txt ends with GMP's notice and licence
# texts.
#
# The same sources give the same zip: its entries are sorted, carry no extra fields, and all bear
# one time, SOURCE_DATE_EPOCH when it is set, else the time of the last commit.

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  set(epoch 315532800)  # no history to take it from: 1 January 1980, the first time a zip holds
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " shown)
    message(FATAL_ERROR "${shown}: ${status}")
  endif()
endfunction()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
run(${STRIP} --strip-all -o ${STAGE}/brindaq.exe ${WINDOW})
run(${STRIP} --strip-all -o ${STAGE}/brindaq-cli.exe ${CLI})
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${STAGE}/README.in @ONLY)
file(READ ${STAGE}/README.in readme)
file(READ ${GMP_NOTICE} notice)
string(REPLACE "\n" "\r\n" readme "${readme}\n${notice}")
file(WRITE ${STAGE}/README.txt "${readme}")
file(REMOVE ${STAGE}/README.in)
set(files README.txt brindaq-cli.exe brindaq.exe)
list(SORT files)
foreach(file IN LISTS files)
  run(touch --no-dereference --date=@${epoch} ${STAGE}/${file})
endforeach()

# A zip keeps local times: taken in UTC, they do not move with the machine's time zone.
file(REMOVE ${PACKAGE}.zip)
run(${CMAKE_COMMAND} -E chdir ${STAGE} ${CMAKE_COMMAND} -E env TZ=UTC
    ${ZIP} --quiet -X -D -9 ${PACKAGE}.zip ${files})

# The installer: a 64-bit stub, for Windows 10 and 11 on x86-64.
string(REPLACE "." ";" parts "${VERSION}.0.0.0")
list(SUBLIST parts 0 4 parts)
list(JOIN parts "." version4)
file(REMOVE ${PACKAGE}-setup.exe)
run(${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DVERSION4=${version4} -DSTAGE=${STAGE}
    -DICON=${ICON} -DFULL_RANGE_OPTION=${FULL_RANGE_OPTION} -DOUTFILE=${PACKAGE}-setup.exe
    ${CMAKE_CURRENT_LIST_DIR}/installer.nsi)
