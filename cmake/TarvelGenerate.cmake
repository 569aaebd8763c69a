# Runs one generation for tarvel_add_state_machine() (cmake -P):
#
#   cmake -DTARVEL=... -DDIAGRAM=... -DWORK_DIR=... -DOUTPUT_DIR=...
#         -DOUTPUTS=<files> -DSTAMP=... -DDEPFILE=... -P TarvelGenerate.cmake -- ARGS...
#
# The program writes into a work folder of its own, with its own error log, so
# that a failure shows only this run's lines. Each output is then copied into
# OUTPUT_DIR only when its text changed, so that unchanged files keep their
# time stamps and nothing that includes them is rebuilt. The depfile names the
# stamp, the rule's own output, as its target.

set(args)
set(take OFF)
foreach(i RANGE ${CMAKE_ARGC})
  if(take AND DEFINED CMAKE_ARGV${i})
    list(APPEND args "${CMAKE_ARGV${i}}")
  elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
    set(take ON)
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(
  COMMAND "${TARVEL}" ${args} "--output=${WORK_DIR}" "--error-log=${WORK_DIR}"
          "--depfile=${WORK_DIR}/deps.d" -- "${DIAGRAM}"
  RESULT_VARIABLE status)

if(NOT status EQUAL 0)
  set(log "")
  if(EXISTS "${WORK_DIR}/FSM_ERR.log")
    file(READ "${WORK_DIR}/FSM_ERR.log" log)
    string(REPLACE "\r\n" "\n" log "${log}")
  endif()
  # Outputs of an earlier run must not pass for this run's.
  file(REMOVE ${OUTPUTS} "${STAMP}")
  message(NOTICE "${log}")
  message(FATAL_ERROR "tarvel could not generate ${DIAGRAM} (status ${status})")
endif()

foreach(output IN LISTS OUTPUTS)
  cmake_path(GET output FILENAME file)
  file(COPY_FILE "${WORK_DIR}/${file}" "${output}" ONLY_IF_DIFFERENT)
endforeach()

# The program's rule names the work folder's files; the stamp takes their place.
file(READ "${WORK_DIR}/deps.d" rules)
string(FIND "${rules}" ": \\\n" colon)
string(SUBSTRING "${rules}" ${colon} -1 prerequisites)
string(REPLACE " " "\\ " target "${STAMP}")
string(REPLACE "#" "\\#" target "${target}")
string(REPLACE "$" "$$" target "${target}")
file(WRITE "${DEPFILE}" "${target}${prerequisites}")
file(TOUCH "${STAMP}")
