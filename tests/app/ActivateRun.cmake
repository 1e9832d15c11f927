# vaskel --activate as a bench runs it: the program starts on the virtual
# Tavrin's idle bus, switches the device to master, runs the call list,
# writes the monitor's recording when it ends, and stops by itself.
# -DVASKEL=program -DWORK=folder
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/home")
set(list "${WORK}/bench.AUF.CSV")
file(WRITE "${list}" "\"Ok\";\"Aufruf\";\"Beschreibung\";\"Intervall\"\r\n-1;\"a1\";\"\";\"0:01\"\r\n0;\"k07\";\"\";\"0:01\"\r\n")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen HOME=${WORK}/home
    ${VASKEL} --virtual-device=idle --activate ${list} --translate 1=2
    --save-on-exit ${WORK}/night.PRO.CSV --quit-after 4
  RESULT_VARIABLE rc TIMEOUT 60)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vaskel ended with ${rc}")
endif()
file(READ "${WORK}/night.PRO.CSV" recorded)
# the telegram cell of each status request sent (its answers read "a10")
string(REGEX MATCHALL "\"a1\r" sent "${recorded}")
list(LENGTH sent count)
if(count LESS 1)
  message(FATAL_ERROR "no status request of the list was recorded:\n${recorded}")
endif()
if(recorded MATCHES "k07")
  message(FATAL_ERROR "the inactive row was sent")
endif()
if(recorded MATCHES "\"a2")
  message(FATAL_ERROR "a call-list telegram was translated")
endif()
message(STATUS "the list's status request went out ${count} times")
