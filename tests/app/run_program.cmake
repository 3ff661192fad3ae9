# Runs COMMAND (a list: the program, then its arguments) as a user would and
# checks how it ends: its exit status STATUS, standard output against the
# regular expression OUT and standard error against ERR (either may be left
# out), and that the file CREATES exists afterwards. The variables named in
# UNSET are taken out of the environment first.
cmake_minimum_required(VERSION 3.25)

foreach(name IN LISTS UNSET)
  unset(ENV{${name}})
endforeach()
if(CREATES)
  file(REMOVE ${CREATES})
endif()

execute_process(COMMAND ${COMMAND}
  INPUT_FILE /dev/null
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE status)

set(failed FALSE)
if(NOT "${status}" STREQUAL "${STATUS}")
  message(SEND_ERROR "exit status ${status}, expected ${STATUS}")
  set(failed TRUE)
endif()
foreach(stream IN ITEMS out err)
  string(TOUPPER ${stream} want)
  if(DEFINED ${want} AND NOT "${${stream}}" MATCHES "${${want}}")
    message(SEND_ERROR "std${stream} does not match '${${want}}':\n"
      "${${stream}}")
    set(failed TRUE)
  endif()
endforeach()
if(CREATES AND NOT EXISTS ${CREATES})
  message(SEND_ERROR "${CREATES} was not written")
  set(failed TRUE)
endif()
if(failed)
  message(FATAL_ERROR "${COMMAND}")
endif()
