# Installs the build into a scratch prefix and checks that every installed file is in place.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}/usr
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
  bin/brindaq
  bin/brindaq-cli
  share/applications/org.example.brindaq.desktop
  share/metainfo/org.example.brindaq.metainfo.xml
  share/icons/hicolor/scalable/apps/org.example.brindaq.svg
  share/doc/brindaq/copyright
  share/doc/brindaq/changelog.gz
  share/man/man1/brindaq.1.gz
  share/man/man1/brindaq-cli.1.gz
  share/bash-completion/completions/brindaq-cli)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/org.example.brindaq.png)
endforeach()
foreach(file IN LISTS expected)
  if(NOT EXISTS ${STAGE}/usr/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
list(LENGTH expected count)
message(STATUS "all ${count} files installed")
