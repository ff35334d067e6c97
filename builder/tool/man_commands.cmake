# Writes help2man's include file for the lodrun man page: a COMMANDS section holding each
# command's own --help, as the tool prints it. Run as cmake -DTOOL=... -DOUTPUT=... -P.
set(text "[COMMANDS]\n")
foreach(command build list extract verify)
  execute_process(COMMAND ${TOOL} ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TOOL} ${command} --help failed: ${result}")
  endif()
  # roff: a backslash is written \e, and a line may not start with a control character.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(APPEND text ".SS \"lodrun ${command}\"\n.nf\n${help}.fi\n")
endforeach()
file(WRITE ${OUTPUT} "${text}")
