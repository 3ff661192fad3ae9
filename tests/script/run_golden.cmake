# Runs TOOL with SCRIPT on standard input and checks what it prints and how
# it exits against the files next to SCRIPT (see CMakeLists.txt). The output
# is kept in ACTUAL for a look when a check fails.
cmake_minimum_required(VERSION 3.25)

get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(name ${SCRIPT} NAME_WE)

# EMULATOR runs the WebAssembly build's tool (Node.js); empty otherwise.
execute_process(COMMAND ${EMULATOR} ${TOOL}
  INPUT_FILE ${SCRIPT}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE status)
file(WRITE ${ACTUAL} "${out}")

set(want_status 0)
set(want_err "")
if(EXISTS ${dir}/${name}.exit)
  file(READ ${dir}/${name}.exit exit_text)
  string(FIND "${exit_text}" "\n" eol)
  string(SUBSTRING "${exit_text}" 0 ${eol} want_status)
  math(EXPR from "${eol} + 1")
  string(SUBSTRING "${exit_text}" ${from} -1 want_err)
endif()

set(failed FALSE)
if(NOT "${status}" STREQUAL "${want_status}")
  message(SEND_ERROR "exit status ${status}, expected ${want_status}")
  set(failed TRUE)
endif()
if(NOT "${err}" STREQUAL "${want_err}")
  message(SEND_ERROR "standard error:\n${err}expected:\n${want_err}")
  set(failed TRUE)
endif()

if(EXISTS ${dir}/${name}.jsonl)
  file(READ ${dir}/${name}.jsonl want_out)
  if(NOT "${out}" STREQUAL "${want_out}")
    # Point at the first line that differs; the lines are long.
    string(LENGTH "${out}" out_len)
    string(LENGTH "${want_out}" want_len)
    set(line 1)
    set(i 0)
    while(i LESS out_len AND i LESS want_len)
      string(SUBSTRING "${out}" ${i} 1 a)
      string(SUBSTRING "${want_out}" ${i} 1 b)
      if(NOT "${a}" STREQUAL "${b}")
        break()
      endif()
      if("${a}" STREQUAL "\n")
        math(EXPR line "${line} + 1")
      endif()
      math(EXPR i "${i} + 1")
    endwhile()
    math(EXPR lo "${i} - 60")
    if(lo LESS 0)
      set(lo 0)
    endif()
    string(SUBSTRING "${out}" ${lo} 120 got_near)
    string(SUBSTRING "${want_out}" ${lo} 120 want_near)
    message(SEND_ERROR "output differs at line ${line}, byte ${i}\n"
      "got:      ...${got_near}...\nexpected: ...${want_near}...\n"
      "full output in ${ACTUAL}")
    set(failed TRUE)
  endif()
elseif(EXISTS ${dir}/${name}.contains)
  file(STRINGS ${dir}/${name}.contains wants)
  foreach(want IN LISTS wants)
    string(FIND "${out}" "${want}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "output lacks ${want}; full output in ${ACTUAL}")
      set(failed TRUE)
    endif()
  endforeach()
else()
  message(SEND_ERROR "no ${name}.jsonl or ${name}.contains next to ${SCRIPT}")
  set(failed TRUE)
endif()

# On a terminal the two streams are one: the dumps printed before a failure
# come before its message.
if(NOT "${err}" STREQUAL "")
  execute_process(COMMAND ${EMULATOR} ${TOOL}
    INPUT_FILE ${SCRIPT}
    OUTPUT_VARIABLE both
    ERROR_VARIABLE both)
  if(NOT "${both}" STREQUAL "${out}${err}")
    message(SEND_ERROR "standard output and error, merged:\n${both}")
    set(failed TRUE)
  endif()
endif()

if(failed)
  message(FATAL_ERROR "golden script ${name} failed")
endif()
