# Every file that installing QUARVEL puts in place, relative to the prefix (/usr in the package).
set(brindaq_installed_files
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
  list(APPEND brindaq_installed_files share/icons/hicolor/${size}x${size}/apps/org.example.brindaq.png)
endforeach()
