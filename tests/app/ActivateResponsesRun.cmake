# vaskel --activate with a response list, as a bench runs it: the program
# starts on the virtual Tavrin's vehicle bus, leaves the device a slave,
# downloads the list and switches the slave simulation on, writes the
# monitor's recording when it ends, and stops by itself. A call list and a
# response list at once are refused with a clear message.
# -DVASKEL=program -DWORK=folder
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/home")
set(list "${WORK}/anzeige.ANT.CSV")
file(WRITE "${list}" "\"Ok\";\"Aufruf\";\"Antwort\";\"Reaktionszeit\"\r\n-1;\"a1\";\"a17\";30\r\n")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen HOME=${WORK}/home
    ${VASKEL} --virtual-device=vehicle --activate ${list}
    --save-on-exit ${WORK}/night.PRO.CSV --quit-after 6
  RESULT_VARIABLE rc TIMEOUT 60)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vaskel ended with ${rc}")
endif()
file(READ "${WORK}/night.PRO.CSV" recorded)
# the device's own answers: kind T, the list's answer
string(REGEX MATCHALL "\"T\";[^\r\n]*\"a17\r" own "${recorded}")
list(LENGTH own count)
if(count LESS 1)
  message(FATAL_ERROR "no answer of the device's own was recorded:\n${recorded}")
endif()
message(STATUS "the device answered ${count} times from the list")

set(calls "${WORK}/bench.AUF.CSV")
file(WRITE "${calls}" "\"Ok\";\"Aufruf\";\"Beschreibung\";\"Intervall\"\r\n-1;\"a1\";\"\";\"0:01\"\r\n")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen HOME=${WORK}/home
    ${VASKEL} --virtual-device=vehicle --activate ${calls} --activate ${list}
  RESULT_VARIABLE rc ERROR_VARIABLE err TIMEOUT 60)
if(NOT rc EQUAL 2 OR NOT err MATCHES "cannot be active at once")
  message(FATAL_ERROR "a call list and a response list at once: ${rc} ${err}")
endif()
