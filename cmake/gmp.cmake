# GMP, the big-number library of the core, as one imported target, Gmp::gmp.
#
# On Linux it is Debian's (libgmp-dev: gmp.h and libgmp.so). Debian ships no GMP for MinGW-w64 or
# emscripten, so the Windows and browser editions link a static libgmp.a built from Debian's own
# source package of the same version by scripts/build-gmp.sh, once per machine, into a cache
# outside the checkout:
#
#   BRINDAQ_GMP_CACHE   the cache (default: $BRINDAQ_GMP_CACHE, else
#                       ${XDG_CACHE_HOME:-~/.cache}/brindaq/gmp-<version>), which holds a folder
#                       for each target (windows, web) with include/gmp.h, lib/libgmp.a and GMP's
#                       licence texts in share/doc/gmp/.
#
# For the editions that hold GMP inside them, it also writes GMP's notice (data/gmp-notice.txt.in)
# followed by GMP's licence texts in full, from the cache, into one file of the build folder,
# BRINDAQ_GMP_NOTICE, and gives brindaq_with_gmp_notice(OUTPUT HEAD), which writes the file HEAD
# and that notice after it into OUTPUT. On Linux BRINDAQ_GMP_NOTICE is empty: there Debian's
# libgmp10 is a package of its own and carries its own licence.
#
# The version is stated here once; scripts/build-gmp.sh reads it from the next line.
set(BRINDAQ_GMP_VERSION "6.2.1+dfsg1-1.1")

if(EMSCRIPTEN)
  set(BRINDAQ_GMP_TARGET web)
elseif(WIN32 AND CMAKE_CROSSCOMPILING)
  set(BRINDAQ_GMP_TARGET windows)
else()
  set(BRINDAQ_GMP_TARGET "")
endif()

set(BRINDAQ_GMP_NOTICE "")
if(BRINDAQ_GMP_TARGET STREQUAL "")
  find_path(BRINDAQ_GMP_INCLUDE_DIR gmp.h DOC "The folder of Debian's gmp.h (libgmp-dev)")
  find_library(BRINDAQ_GMP_LIBRARY gmp DOC "Debian's libgmp (libgmp-dev)")
  if(NOT BRINDAQ_GMP_INCLUDE_DIR OR NOT BRINDAQ_GMP_LIBRARY)
    message(FATAL_ERROR "GMP is missing (gmp.h: ${BRINDAQ_GMP_INCLUDE_DIR}, libgmp: "
      "${BRINDAQ_GMP_LIBRARY}). Install Debian's libgmp-dev: bash scripts/install-deps.sh run")
  endif()
  add_library(Gmp::gmp UNKNOWN IMPORTED)
  set_target_properties(Gmp::gmp PROPERTIES
    IMPORTED_LOCATION ${BRINDAQ_GMP_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${BRINDAQ_GMP_INCLUDE_DIR})
  return()
endif()

if(DEFINED ENV{BRINDAQ_GMP_CACHE})
  set(default_cache "$ENV{BRINDAQ_GMP_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(default_cache "$ENV{XDG_CACHE_HOME}/brindaq/gmp-${BRINDAQ_GMP_VERSION}")
else()
  set(default_cache "$ENV{HOME}/.cache/brindaq/gmp-${BRINDAQ_GMP_VERSION}")
endif()
set(BRINDAQ_GMP_CACHE "${default_cache}" CACHE PATH
    "GMP ${BRINDAQ_GMP_VERSION} built for MinGW-w64 and emscripten by scripts/build-gmp.sh")
unset(default_cache)

# The build script writes the folder's "complete" file last, so a build that was cut short is
# never taken for one.
set(prefix ${BRINDAQ_GMP_CACHE}/${BRINDAQ_GMP_TARGET})
if(NOT EXISTS ${prefix}/complete OR NOT EXISTS ${prefix}/include/gmp.h
   OR NOT EXISTS ${prefix}/lib/libgmp.a)
  message(FATAL_ERROR "GMP ${BRINDAQ_GMP_VERSION} for ${BRINDAQ_GMP_TARGET} is not in ${prefix}. "
    "Build it once on this machine with: bash scripts/build-gmp.sh ${BRINDAQ_GMP_TARGET}")
endif()
# Configuring again when the library is built again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${prefix}/complete)

add_library(Gmp::gmp STATIC IMPORTED)
set_target_properties(Gmp::gmp PROPERTIES
  IMPORTED_LOCATION ${prefix}/lib/libgmp.a
  INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)

# The notice, then the GNU LGPL v3, the GNU GPL v3 that it adds to, and the GNU GPL v2, as GMP's
# source has them. Written only when it changes, so that nothing is packed again for nothing.
string(REGEX REPLACE "[+-].*" "" BRINDAQ_GMP_UPSTREAM_VERSION "${BRINDAQ_GMP_VERSION}")
set(BRINDAQ_GMP_NOTICE ${PROJECT_BINARY_DIR}/gmp/notice.txt)
configure_file(${PROJECT_SOURCE_DIR}/data/gmp-notice.txt.in ${PROJECT_BINARY_DIR}/gmp/notice-alone.txt
               @ONLY)
file(READ ${PROJECT_BINARY_DIR}/gmp/notice-alone.txt notice)
foreach(licence COPYING.LESSERv3 COPYINGv3 COPYINGv2)
  set(path ${prefix}/share/doc/gmp/${licence})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} is missing: bash scripts/build-gmp.sh ${BRINDAQ_GMP_TARGET}")
  endif()
  file(READ ${path} text)
  string(APPEND notice "\n\n${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
endforeach()
file(WRITE ${PROJECT_BINARY_DIR}/gmp/notice.new "${notice}")
configure_file(${PROJECT_BINARY_DIR}/gmp/notice.new ${BRINDAQ_GMP_NOTICE} COPYONLY)
unset(notice)
unset(text)
unset(path)
unset(prefix)

# brindaq_with_gmp_notice(OUTPUT HEAD): OUTPUT holds the file HEAD, a blank line and the notice.
function(brindaq_with_gmp_notice output head)
  file(READ ${head} head_text)
  file(READ ${BRINDAQ_GMP_NOTICE} notice)
  get_filename_component(name ${output} NAME)
  file(WRITE ${PROJECT_BINARY_DIR}/gmp/${name}.new "${head_text}\n${notice}")
  configure_file(${PROJECT_BINARY_DIR}/gmp/${name}.new ${output} COPYONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${head})
endfunction()
