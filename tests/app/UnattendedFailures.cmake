# Unattended runs of vaskel (--quit-after, --save-on-exit, --activate) meet
# a broken catalogue, a broken file on the command line, a junk list to
# activate, or a place for the recording that cannot be written: each run
# ends by itself (no message box waits for a click), says why on stderr and
# ends with a non-zero exit status.
# -DVASKEL=program -DWORK=folder
file(REMOVE_RECURSE "${WORK}")
string(ASCII 1 2 3 ctl)

# One run in a fresh home whose data folder is HOME/Documents/Vaskel.
# SETUP names a function that prepares the data folder; the run's exit
# status and stderr land in rc and err.
function(run_unattended name)
  cmake_parse_arguments(R "" "" "ARGS" ${ARGN})
  set(home "${WORK}/${name}/home")
  file(MAKE_DIRECTORY "${home}/Documents/Vaskel")
  set(data "${home}/Documents/Vaskel" PARENT_SCOPE)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen HOME=${home}
      XDG_CONFIG_HOME=${home}/.config
      ${VASKEL} --virtual-device ${R_ARGS}
    RESULT_VARIABLE code ERROR_VARIABLE stderr OUTPUT_QUIET TIMEOUT 45)
  # a run that had to be killed gives a text, not a number
  if(NOT code MATCHES "^[0-9]+$")
    message(FATAL_ERROR "${name}: vaskel did not end by itself (${code})\n${stderr}")
  endif()
  if(code EQUAL 0)
    message(FATAL_ERROR "${name}: vaskel ended with 0\n${stderr}")
  endif()
  set(rc "${code}" PARENT_SCOPE)
  set(err "${stderr}" PARENT_SCOPE)
  message(STATUS "${name}: exit status ${code}: ${stderr}")
endfunction()

function(expect_said name text)
  string(FIND "${err}" "${text}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${name}: stderr does not say \"${text}\":\n${err}")
  endif()
endfunction()

# --- a broken catalogue in the data folder ------------------------------
string(REPEAT "x" 1048576 long_line)
foreach(kind junk folder few-columns long-line empty)
  set(home "${WORK}/catalogue-${kind}/home")
  file(MAKE_DIRECTORY "${home}/Documents/Vaskel")
  if(kind STREQUAL "junk")
    file(WRITE "${home}/Documents/Vaskel/IBIS.CSV" "${ctl} no catalogue at all\n\"\"\"\n")
  elseif(kind STREQUAL "few-columns")
    file(WRITE "${home}/Documents/Vaskel/IBIS.CSV" "\"001\";\"l\"\r\n\"003\";\"z\"\r\n")
  elseif(kind STREQUAL "long-line")
    file(WRITE "${home}/Documents/Vaskel/IBIS.CSV" "${long_line}")
  elseif(kind STREQUAL "empty")
    file(WRITE "${home}/Documents/Vaskel/IBIS.CSV" "")
  else()
    file(MAKE_DIRECTORY "${home}/Documents/Vaskel/IBIS.CSV")
  endif()
  run_unattended(catalogue-${kind} ARGS --monitor
    --save-on-exit ${WORK}/catalogue-${kind}/night.PRO.CSV --quit-after 5)
  expect_said(catalogue-${kind} "IBIS.CSV")
endforeach()

# --- a broken file named on the command line ----------------------------
file(MAKE_DIRECTORY "${WORK}/files")
set(broken "${WORK}/files/broken.PRO.CSV")
file(WRITE "${broken}" "\"M\";\"1\";\"0\";\"\";\"\";\"l001\r/\";\"\";\"\";\"\";\"\"\r\n\"M\";\"2;0;\"\";\"l00\r\n")
run_unattended(protocol-on-command-line ARGS --monitor
  --save-on-exit ${WORK}/files/night.PRO.CSV --quit-after 5 ${broken})
expect_said(protocol-on-command-line "vaskel: ")
set(junk "${WORK}/files/junk.AUF.CSV")
file(WRITE "${junk}" "${ctl} no list\r\n\"\"\"\r\n")
run_unattended(list-on-command-line ARGS --quit-after 5 ${junk})
expect_said(list-on-command-line "vaskel: ")

# --- a junk call list to activate ---------------------------------------
run_unattended(activate-junk ARGS --activate ${junk}
  --save-on-exit ${WORK}/files/bench.PRO.CSV --quit-after 5)
expect_said(activate-junk "vaskel: ")

# --- a place for the recording that cannot be written -------------------
file(MAKE_DIRECTORY "${WORK}/target/a-folder.PRO.CSV")
foreach(target "${WORK}/target/missing/night.PRO.CSV" "${WORK}/target/a-folder.PRO.CSV"
               "/proc/vaskel-night.PRO.CSV")
  run_unattended(target ARGS --monitor --save-on-exit ${target} --quit-after 5)
  expect_said(target "--save-on-exit")
  if(NOT rc EQUAL 2)
    message(FATAL_ERROR "${target}: refused with ${rc}, not 2")
  endif()
endforeach()
