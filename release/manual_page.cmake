# Makes a manual page: the prose of TEMPLATE with @SYNOPSIS@ and @OPTIONS@ set from what PROGRAM
# prints for "--manual-section synopsis" and "--manual-section options" (the same command line
# that writes its --help), and @VERSION@; written to OUTPUT and, compressed, to OUTPUT.gz.
#   cmake -DPROGRAM=... -DTEMPLATE=... -DOUTPUT=... -DVERSION=... -P manual_page.cmake
foreach(section synopsis options)
  execute_process(COMMAND ${PROGRAM} --manual-section ${section}
    OUTPUT_VARIABLE text RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} --manual-section ${section} failed (${result}): ${errors}")
  endif()
  string(TOUPPER ${section} name)
  string(STRIP "${text}" ${name})
endforeach()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
# -n: no name or time stamp in the header, so the same page compresses to the same bytes.
execute_process(COMMAND gzip -9 -n -c ${OUTPUT} OUTPUT_FILE ${OUTPUT}.gz RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip of ${OUTPUT} failed")
endif()
