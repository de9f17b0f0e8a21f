# The version record of a Windows executable, the same for every edition: written from
# data/version.rc.in into the build tree, with PROJECT_VERSION as its file and product version.
#
#   brindaq_version_record(FILE_NAME OUTPUT_VARIABLE)
#
# FILE_NAME is the executable's name (brindaq.exe), which the record gives as its original name;
# the path of the record, to compile as a source of the executable, is put in OUTPUT_VARIABLE.

function(brindaq_version_record file_name output)
  # The four numbers of the fixed version: 1.00 is 1, 0, 0, 0.
  set(numbers)
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(number "${PROJECT_VERSION_${part}}")
    if(number STREQUAL "")
      set(number 0)
    endif()
    math(EXPR number "${number}")  # "00" as 0: a leading 0 would make the resource compiler read octal
    list(APPEND numbers ${number})
  endforeach()
  list(JOIN numbers ", " BRINDAQ_VERSION_NUMBERS)
  set(BRINDAQ_FILE_NAME ${file_name})
  get_filename_component(stem ${file_name} NAME_WE)
  set(record ${PROJECT_BINARY_DIR}/version/${stem}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/data/version.rc.in ${record} @ONLY)
  set(${output} ${record} PARENT_SCOPE)
endfunction()
