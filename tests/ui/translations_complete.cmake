# Fails when a text of the dialog's sources has no finished translation:
# lupdate collects the texts into copies of the translations, where a text
# without one is marked unfinished.
#   cmake -DLUPDATE=... -DSOURCES=dir -DTRANSLATIONS=dir -DWORK=dir -P translations_complete.cmake
file(GLOB ts_files ${TRANSLATIONS}/*.ts)
if(NOT ts_files)
  message(FATAL_ERROR "no translations in ${TRANSLATIONS}")
endif()
foreach(ts ${ts_files})
  get_filename_component(name ${ts} NAME)
  set(copy ${WORK}/${name})
  configure_file(${ts} ${copy} COPYONLY)
  execute_process(COMMAND ${LUPDATE} -silent -locations none ${SOURCES} -ts ${copy}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "lupdate failed on ${name}")
  endif()
  file(READ ${copy} text)
  string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation></translation>" empty "${text}")
  string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"unfinished\">" unfinished "${text}")
  list(APPEND empty ${unfinished})
  if(empty)
    list(JOIN empty "\n" listed)
    message(FATAL_ERROR "${name} has texts without a finished translation:\n${listed}")
  endif()
  message(STATUS "${name}: every text translated")
endforeach()
