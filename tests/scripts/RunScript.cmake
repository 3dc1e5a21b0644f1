# Runs one end-to-end script:
#   cmake -DQUORVEL=... -DSCRIPT=NAME.qvs -DSOURCE_DIR=... -DWORK_DIR=... -P RunScript.cmake
#
# Header comments of the script steer the run (quorvel itself skips them as comments):
#   # options: ARGS...      further command-line options for quorvel
#   # status: N            the expected exit status (default 0)
#   # stderr: REGEX        standard error must match
#   # same: FILE FILE      the two files must have identical contents after the run
#   # movie: FILE FRAMES   ffprobe must read FRAMES video frames from FILE after the run
#   # vary: REGEX          text of the transcript that may differ between builds, shown as "*"
# In the script and in those lines @SOURCE@ is the source tree and @TMP@ a fresh folder of
# this test. The transcript is compared with NAME.expected after turning both folders back into
# @SOURCE@ and @TMP@. Every run gets its own preference file and a fixed clock.
# With the environment variable BV_UPDATE_TRANSCRIPTS=1 the transcript replaces NAME.expected.

foreach(var QUORVEL SCRIPT SOURCE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunScript.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

file(READ ${SCRIPT} text)
string(REPLACE "@SOURCE@" "${SOURCE_DIR}" text "${text}")
string(REPLACE "@TMP@" "${WORK_DIR}" text "${text}")
get_filename_component(name ${SCRIPT} NAME_WE)
set(script_copy ${WORK_DIR}/${name}.qvs)
file(WRITE ${script_copy} "${text}")

set(options "")
set(status 0)
set(stderr_regex "")
set(same_files "")
set(movies "")
set(vary "")
file(STRINGS ${script_copy} header REGEX "^# (options|status|stderr|same|movie|vary): ")
foreach(line IN LISTS header)
  if(line MATCHES "^# options: (.*)$")
    separate_arguments(more UNIX_COMMAND "${CMAKE_MATCH_1}")
    list(APPEND options ${more})
  elseif(line MATCHES "^# status: ([0-9]+)$")
    set(status ${CMAKE_MATCH_1})
  elseif(line MATCHES "^# stderr: (.*)$")
    set(stderr_regex "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^# same: (.*)$")
    separate_arguments(pair UNIX_COMMAND "${CMAKE_MATCH_1}")
    list(APPEND same_files ${pair})
  elseif(line MATCHES "^# movie: (.*)$")
    separate_arguments(pair UNIX_COMMAND "${CMAKE_MATCH_1}")
    list(APPEND movies ${pair})
  elseif(line MATCHES "^# vary: (.*)$")
    list(APPEND vary "${CMAKE_MATCH_1}")
  endif()
endforeach()

execute_process(
  COMMAND ${QUORVEL} --prefs ${WORK_DIR}/preferences --now 2026-03-02T08:00 ${options} ${script_copy}
  WORKING_DIRECTORY ${WORK_DIR}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE rc)

string(REPLACE "${WORK_DIR}" "@TMP@" out "${out}")
string(REPLACE "${SOURCE_DIR}" "@SOURCE@" out "${out}")
foreach(regex IN LISTS vary)
  string(REGEX REPLACE "${regex}" "*" out "${out}")
endforeach()

get_filename_component(dir ${SCRIPT} DIRECTORY)
set(expected_file ${dir}/${name}.expected)
if("$ENV{BV_UPDATE_TRANSCRIPTS}" STREQUAL "1")
  file(WRITE ${expected_file} "${out}")
endif()
if(NOT EXISTS ${expected_file})
  message(FATAL_ERROR "missing ${expected_file}")
endif()
file(READ ${expected_file} expected)

set(failures "")
if(NOT out STREQUAL expected)
  file(WRITE ${WORK_DIR}/actual.txt "${out}")
  # The difference goes straight to the output, where message() would reflow it.
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND ${DIFF} -u ${expected_file} ${WORK_DIR}/actual.txt)
  endif()
  string(APPEND failures "transcript differs from ${name}.expected (actual: ${WORK_DIR}/actual.txt)\n")
endif()
if(NOT rc STREQUAL status)
  string(APPEND failures "exit status ${rc}, expected ${status}\n")
endif()
if(stderr_regex AND NOT err MATCHES "${stderr_regex}")
  string(APPEND failures "standard error does not match \"${stderr_regex}\"\n")
endif()
list(LENGTH same_files count)
while(count GREATER 1)
  list(POP_FRONT same_files first second)
  math(EXPR count "${count} - 2")
  if(NOT EXISTS ${first} OR NOT EXISTS ${second})
    string(APPEND failures "missing ${first} or ${second}\n")
    continue()
  endif()
  file(READ ${first} a)
  file(READ ${second} b)
  if(NOT a STREQUAL b)
    string(APPEND failures "${first} and ${second} differ\n")
  endif()
endwhile()

list(LENGTH movies count)
while(count GREATER 1)
  list(POP_FRONT movies movie frames)
  math(EXPR count "${count} - 2")
  execute_process(
    COMMAND ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames
            -of default=nw=1:nk=1 ${movie}
    OUTPUT_VARIABLE probed OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE probe_rc)
  if(NOT probe_rc EQUAL 0 OR NOT probed STREQUAL frames)
    string(APPEND failures "ffprobe reads \"${probed}\" frames of ${movie}, expected ${frames}\n")
  endif()
endwhile()

if(failures)
  message(FATAL_ERROR "${failures}standard error:\n${err}")
endif()
