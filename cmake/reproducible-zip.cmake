# SPDX-License-Identifier: MIT
# Run by CPack after it has laid out the zip's files and before it packs
# them: dates every file and folder SOURCE_DATE_EPOCH (the last commit's
# time, which tools/check-reproducible.sh sets), so that the zip does not
# carry the time of the build.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  return()
endif()
foreach(directory IN LISTS CPACK_TEMPORARY_INSTALL_DIRECTORY)
  file(GLOB_RECURSE entries LIST_DIRECTORIES true "${directory}/*")
  list(APPEND entries "${directory}")
  foreach(entry IN LISTS entries)
    execute_process(COMMAND touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" "${entry}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endforeach()
