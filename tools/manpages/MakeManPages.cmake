# Writes the manual pages of vaskel and vaskel-cli and the bash completion
# of vaskel-cli from the programs' own help texts (--help, COMMAND --help),
# so that they follow the programs. Run at build time:
#   cmake -DVASKEL=<vaskel> -DVASKEL_CLI=<vaskel-cli> -DOUT=<folder> -P MakeManPages.cmake

foreach(v VASKEL VASKEL_CLI OUT)
  if(NOT ${v})
    message(FATAL_ERROR "MakeManPages.cmake: -D${v}=... missing")
  endif()
endforeach()

function(run_help out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DISPLAY= QT_QPA_PLATFORM=offscreen ${ARGN}
    OUTPUT_VARIABLE text ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "${ARGN}: exit status ${rc}: ${err}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# roff: backslashes and lines that would read as requests
function(roff_line out line)
  string(REPLACE "\\" "\\e" line "${line}")
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" line "${line}")
  # an option's dash is a minus sign
  string(REGEX REPLACE "(^|[ [(,|])--" "\\1\\\\-\\\\-" line "${line}")
  string(REGEX REPLACE "(^|[ [(,|])-([a-zA-Z])" "\\1\\\\-\\2" line "${line}")
  set(${out} "${line}" PARENT_SCOPE)
endfunction()

# A help text as roff: paragraphs apart by blank lines; a paragraph with
# indented lines or a usage line keeps its lines (.nf), any other is filled.
function(roff_text out text)
  string(REPLACE ";" "\\;" text "${text}")
  string(REGEX REPLACE "\n$" "" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(result "")
  set(para "")
  set(keep FALSE)
  macro(flush)
    if(NOT para STREQUAL "")
      if(keep)
        string(APPEND result ".PP\n.nf\n${para}.fi\n")
      else()
        string(APPEND result ".PP\n${para}")
      endif()
    endif()
    set(para "")
    set(keep FALSE)
  endmacro()
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*$")
      flush()
      continue()
    endif()
    if(line MATCHES "^[ \t]" OR line MATCHES "^Usage:")
      set(keep TRUE)
    endif()
    roff_line(l "${line}")
    string(APPEND para "${l}\n")
  endforeach()
  flush()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

run_help(version ${VASKEL_CLI} --version)
string(STRIP "${version}" version)

# vaskel(1)
run_help(vversion ${VASKEL} --version)
string(STRIP "${vversion}" vversion)
run_help(help ${VASKEL} --help)
roff_text(body "${help}")
file(WRITE ${OUT}/vaskel.1
".TH VASKEL 1 \"\" \"${vversion}\" \"User Commands\"
.SH NAME
vaskel \\- IBIS vehicle bus and train bus monitor and simulator (VDV 300)
.SH DESCRIPTION
Vaskel records and analyses the traffic on the IBIS bus of buses and trams,
and can itself be bus master (call lists) or answer for a missing display
(response lists). It talks to the bus through the Tavrin USB interface, or
runs on its built-in virtual Tavrin. The user manual opens with F1 in the
program.
.SH OPTIONS
${body}.SH SEE ALSO
.BR vaskel-cli (1)
")

# vaskel-cli(1): the overview, then every command's own help
run_help(help ${VASKEL_CLI} --help)
roff_text(body "${help}")
string(REGEX MATCH "Commands:\n(([ ][ ][a-z]+[^\n]*\n)+)" m "${help}")
string(REGEX MATCHALL "\n  [a-z]+" names "\n${CMAKE_MATCH_1}")
set(commands)
foreach(n IN LISTS names)
  string(STRIP "${n}" n)
  list(APPEND commands ${n})
endforeach()
if(NOT commands)
  message(FATAL_ERROR "vaskel-cli --help names no commands")
endif()
set(sections "")
set(completion_cases "")
foreach(c IN LISTS commands)
  run_help(h ${VASKEL_CLI} ${c} --help)
  roff_text(t "${h}")
  string(APPEND sections ".SS ${c}\n${t}")
  # the command's options and its own sub-commands (lower-case words right
  # after it on its usage lines)
  string(REGEX MATCHALL "--[a-z][a-z0-9-]*" opts "${h}")
  set(words)
  foreach(o IN LISTS opts)
    string(REGEX MATCH "--[a-z][a-z0-9-]*" o "${o}")
    if(o)
      list(APPEND words ${o})
    endif()
  endforeach()
  string(REGEX MATCHALL "vaskel-cli ${c} [a-z]+" subs "${h}")
  set(sub)
  foreach(s IN LISTS subs)
    string(REGEX REPLACE "^vaskel-cli ${c} " "" s "${s}")
    list(APPEND sub ${s})
  endforeach()
  list(APPEND words -h --help)
  list(REMOVE_DUPLICATES words)
  list(REMOVE_DUPLICATES sub)
  list(JOIN words " " w)
  list(JOIN sub " " sw)
  string(APPEND completion_cases "    ${c})\n      words=\"${w}\"\n      subs=\"${sw}\"\n      ;;\n")
endforeach()
file(WRITE ${OUT}/vaskel-cli.1
".TH VASKEL-CLI 1 \"\" \"${version}\" \"User Commands\"
.SH NAME
vaskel-cli \\- the headless companion of Vaskel, the IBIS bus monitor and simulator
.SH DESCRIPTION
${body}.SH COMMANDS
${sections}.SH SEE ALSO
.BR vaskel (1)
")

list(JOIN commands " " all)
file(WRITE ${OUT}/vaskel-cli.bash
"# bash completion for vaskel-cli (made from its --help texts)
_vaskel_cli() {
  local cur=\"\${COMP_WORDS[COMP_CWORD]}\"
  local words=\"\" subs=\"\"
  if [ \"\$COMP_CWORD\" -eq 1 ]; then
    COMPREPLY=(\$(compgen -W \"${all} --help --version\" -- \"\$cur\"))
    return
  fi
  case \"\${COMP_WORDS[1]}\" in
${completion_cases}  esac
  if [[ \"\$cur\" == -* ]]; then
    COMPREPLY=(\$(compgen -W \"\$words\" -- \"\$cur\"))
  elif [ \"\$COMP_CWORD\" -eq 2 ] && [ -n \"\$subs\" ]; then
    COMPREPLY=(\$(compgen -W \"\$subs\" -- \"\$cur\"))
  else
    COMPREPLY=(\$(compgen -f -- \"\$cur\"))
  fi
}
complete -o filenames -F _vaskel_cli vaskel-cli
")

# the pages as Debian installs them: compressed
foreach(page vaskel.1 vaskel-cli.1)
  file(ARCHIVE_CREATE OUTPUT ${OUT}/${page}.gz PATHS ${OUT}/${page} FORMAT raw
    COMPRESSION GZip COMPRESSION_LEVEL 9)
endforeach()
