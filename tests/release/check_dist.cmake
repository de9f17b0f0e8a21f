# Checks a release as its user would: every file is there, SHA256SUMS covers them and
# `sha256sum -c` passes, and each archive holds what it should, GMP's licence with it.
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

# GMP's source, as Debian has it: the .dsc and the files that it names.
file(STRINGS ${SOURCE}/cmake/gmp.cmake gmp_version REGEX "^set\\(BRINDAQ_GMP_VERSION ")
string(REGEX REPLACE ".*\"(.+)\".*" "\\1" gmp_version "${gmp_version}")
set(gmp_dsc gmp_${gmp_version}.dsc)
list(APPEND expected ${gmp_dsc})
if(EXISTS ${DIST}/${gmp_dsc})
  file(STRINGS ${DIST}/${gmp_dsc} gmp_files REGEX "^ [0-9a-f]+ [0-9]+ ")
  list(TRANSFORM gmp_files REPLACE "^ [0-9a-f]+ [0-9]+ " "")
  list(REMOVE_DUPLICATES gmp_files)
  list(APPEND expected ${gmp_files})
endif()

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

# GMP's source unpacks, its tarballs matching the checksums of its .dsc; its licence texts are
# those that the editions holding GMP must carry.
set(unpacked ${SOURCE}/build/check-dist-gmp)
file(REMOVE_RECURSE ${unpacked})
run(ignored dpkg-source --no-copy -x ${gmp_dsc} ${unpacked})
set(gmp_licences COPYING.LESSERv3 COPYINGv3 COPYINGv2)
foreach(licence IN LISTS gmp_licences)
  if(NOT EXISTS ${unpacked}/${licence})
    message(FATAL_ERROR "GMP's source from ${gmp_dsc} has no ${licence}")
  endif()
  file(READ ${unpacked}/${licence} ${licence})
endforeach()
file(REMOVE_RECURSE ${unpacked})

# expect_licence(<what> <text>): the text names GMP and carries each of its licences in full.
function(expect_licence what text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(FIND "${text}" "GNU MP" named)
  if(named EQUAL -1)
    fail("${what} does not name GNU MP")
  endif()
  foreach(licence IN LISTS gmp_licences)
    string(FIND "${text}" "${${licence}}" at)
    if(at EQUAL -1)
      fail("${what} does not carry GMP's ${licence}")
    endif()
  endforeach()
endfunction()

# The Debian package uses Debian's GMP: it depends on libgmp10 when its programs need libgmp.so.10
# (dpkg-shlibdeps works that out; the linker leaves the library out while nothing calls it). Its
# copyright names GMP and the licences where Debian keeps them (Debian's policy:
# /usr/share/common-licenses, not a copy).
set(unpacked ${SOURCE}/build/check-dist-deb)
file(REMOVE_RECURSE ${unpacked})
run(ignored dpkg-deb -x brindaq_${VERSION}_amd64.deb ${unpacked})
run(needed readelf -d ${unpacked}/usr/bin/brindaq ${unpacked}/usr/bin/brindaq-cli)
file(REMOVE_RECURSE ${unpacked})
run(depends dpkg-deb --field brindaq_${VERSION}_amd64.deb Depends)
string(STRIP "${depends}" depends)
if(needed MATCHES "libgmp\\.so\\.10" AND NOT depends MATCHES "(^|, )libgmp10( |,|$)")
  fail("the programs need libgmp.so.10, but the Debian package does not depend on libgmp10: "
       "${depends}")
endif()
run(copyright sh -c "dpkg-deb --fsys-tarfile brindaq_${VERSION}_amd64.deb | tar -xO ./usr/share/doc/brindaq/copyright")
foreach(words "GNU MP" /usr/share/common-licenses/LGPL-3 /usr/share/common-licenses/GPL-2)
  string(FIND "${copyright}" "${words}" at)
  if(at EQUAL -1)
    fail("the Debian package's copyright does not name ${words}")
  endif()
endforeach()

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
  ${web}/icons/brindaq-32.png ${web}/icons/brindaq-192.png ${web}/icons/brindaq-512.png
  ${web}/COPYRIGHT.txt)
run(text tar -xzOf ${web}.tar.gz ${web}/COPYRIGHT.txt)
expect_licence("the site's COPYRIGHT.txt" "${text}")

# The portable zip holds both programs and a word on each.
run(listing unzip -Z1 brindaq-${VERSION}-windows-x86_64.zip)
expect_listed(zip "${listing}" brindaq.exe brindaq-cli.exe README.txt)
run(text unzip -p brindaq-${VERSION}-windows-x86_64.zip README.txt)
expect_licence("the zip's README.txt (which the installer installs too)" "${text}")

# The npm package holds the module, its node entry and its types.
run(listing tar -tzf brindaq-${npm_version}.tgz)
expect_listed(npm "${listing}" package/package.json package/brindaq.mjs package/brindaq.wasm
  package/node.mjs package/brindaq.d.ts package/README.md package/COPYRIGHT)
run(text tar -xzOf brindaq-${npm_version}.tgz package/COPYRIGHT)
expect_licence("the npm package's COPYRIGHT" "${text}")

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
