# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -DMAN_PAGE=... -P install_check.cmake
# Installs the build into PREFIX and fails unless PREFIX then holds exactly
# bin/okwari and share/man/man6/okwari.6, the page unchanged and the program
# runnable from there.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "install failed (${status}):\n${log}")
endif()

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT found)
set(expected "bin/okwari;share/man/man6/okwari.6")
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "install holds\n  ${found}\nexpected\n  ${expected}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${MAN_PAGE}"
  "${PREFIX}/share/man/man6/okwari.6" RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "installed manual page differs from ${MAN_PAGE}")
endif()

# With no player names the program prints its usage and exits with 9.
execute_process(COMMAND "${PREFIX}/bin/okwari" RESULT_VARIABLE status
  OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 9 OR NOT out MATCHES "\nusage: okwari player_name player_name \\[filename\\]\n")
  message(FATAL_ERROR "installed okwari gave status ${status} and:\n${out}${err}")
endif()

file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "install into ${PREFIX}: ${found}")
