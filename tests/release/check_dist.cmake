# Checks a release as its user would: every file is there, SHA256SUMS covers them and
# `sha256sum -c` passes, and each archive holds what it should.
#   cmake -DSOURCE=<repository> -P check_dist.cmake       (the release in <repository>/dist)
cmake_minimum_required(VERSION 3.25)
set(DIST ${SOURCE}/dist)
file(STRINGS ${SOURCE}/CMakeLists.txt project REGEX "^project\\(brindaq VERSION ")
string(REGEX REPLACE "^project\\(brindaq VERSION ([0-9.]+).*" "\\1" VERSION "${project}")
include(${CMAKE_CURRENT_LIST_DIR}/../app/installed_files.cmake)

# npm wants three numbers: 1.00 is 1.0.0.
string(REGEX REPLACE "^([0-9]+)\\.0*([0-9]+)$" "\\1.\\2.0" npm_version "${VERSION}")
set(web brindaq-${VERSION}-web)
set(expected
  brindaq_${VERSION}_amd64.deb
  brindaq-${VERSION}-windows-x86_64.zip
  brindaq-${VERSION}-windows-x86_64-setup.exe
  ${web}.tar.gz
  brindaq-${npm_version}.tgz
  brindaq-${VERSION}.tar.gz
  brindaq-${VERSION}-release-notes.md)

function(fail)
  string(JOIN "" text ${ARGN})
  message(SEND_ERROR "${text}")
endfunction()

# run(<variable> <command>...): the command's standard output; a failure is reported.
function(run variable)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${DIST} RESULT_VARIABLE status
                  OUTPUT_VARIABLE output ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " shown)
    fail("${shown}: status ${status}\n${error}")
  endif()
  set(${variable} "${output}" PARENT_SCOPE)
endfunction()

# expect_listed(<archive> <listing> <entry>...): each entry is a line of the listing.
function(expect_listed archive listing)
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(entry IN LISTS ARGN)
    if(NOT entry IN_LIST lines)
      fail("${archive} does not hold ${entry}")
    endif()
  endforeach()
endfunction()

# The files, and the checksums of exactly those files.
file(GLOB present RELATIVE ${DIST} ${DIST}/*)
set(wanted ${expected} SHA256SUMS)
list(SORT present)
list(SORT wanted)
if(NOT present STREQUAL wanted)
  fail("dist/ holds [${present}], not [${wanted}]")
endif()
run(checked sha256sum -c SHA256SUMS)
file(STRINGS ${DIST}/SHA256SUMS sums)
list(TRANSFORM sums REPLACE "^[0-9a-f]+  " "")
list(SORT sums)
set(summed ${expected})
list(SORT summed)
if(NOT sums STREQUAL summed)
  fail("SHA256SUMS covers [${sums}], not [${summed}]")
endif()

# The Debian package installs every file of the program.
run(listing sh -c "dpkg-deb --fsys-tarfile brindaq_${VERSION}_amd64.deb | tar -t")
list(TRANSFORM brindaq_installed_files PREPEND ./usr/ OUTPUT_VARIABLE deb_files)
expect_listed(deb "${listing}" ${deb_files})

# The site unpacks into one folder that any static host can serve, with every module of the page
# (named once, in web/CMakeLists.txt).
file(READ ${SOURCE}/web/CMakeLists.txt web_lists)
string(REGEX MATCH "set\\(BRINDAQ_PAGE_MODULES([^)]*)\\)" ignored "${web_lists}")
string(REGEX MATCHALL "[a-z-]+\\.mjs" page_modules "${CMAKE_MATCH_1}")
list(TRANSFORM page_modules PREPEND ${web}/)
run(listing tar -tzf ${web}.tar.gz)
expect_listed(site "${listing}" ${web}/index.html ${web}/page.mjs ${page_modules} ${web}/style.css
  ${web}/overlays.css
  ${web}/brindaq.mjs ${web}/brindaq.wasm ${web}/manifest.webmanifest ${web}/sw.js
  ${web}/icons/brindaq-32.png ${web}/icons/brindaq-192.png ${web}/icons/brindaq-512.png)

# The portable zip holds both programs and a word on each.
run(listing unzip -Z1 brindaq-${VERSION}-windows-x86_64.zip)
expect_listed(zip "${listing}" brindaq.exe brindaq-cli.exe README.txt)

# The npm package holds the module, its node entry and its types.
run(listing tar -tzf brindaq-${npm_version}.tgz)
expect_listed(npm "${listing}" package/package.json package/brindaq.mjs package/brindaq.wasm
  package/node.mjs package/brindaq.d.ts package/README.md)

# The source is the commit's files, every one and nothing else.
run(listing tar -tzf brindaq-${VERSION}.tar.gz)
execute_process(COMMAND git ls-files WORKING_DIRECTORY ${SOURCE} OUTPUT_VARIABLE tracked)
string(REGEX REPLACE "\n$" "" tracked "${tracked}")
string(REPLACE "\n" ";" tracked "${tracked}")
list(TRANSFORM tracked PREPEND brindaq-${VERSION}/)
string(REGEX MATCHALL "[^\n]*[^/\n](\n|$)" files "${listing}")
list(TRANSFORM files STRIP)
list(SORT files)
list(SORT tracked)
if(NOT files STREQUAL tracked)
  fail("the source archive does not hold exactly the tracked files")
endif()

list(LENGTH expected count)
message(STATUS "dist/: ${count} files, their checksums and contents as expected")
