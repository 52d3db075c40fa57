# Builds DATABASE from the SQL text SCRIPT with the sqlite3 program SQLITE3.
# The file is made under a temporary name and renamed when complete, so a
# failed build never leaves half a database behind.
get_filename_component(folder ${DATABASE} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
set(partial ${DATABASE}.partial)
file(REMOVE ${partial})
execute_process(COMMAND ${SQLITE3} -bail ${partial}
                INPUT_FILE ${SCRIPT}
                RESULT_VARIABLE result
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  file(REMOVE ${partial})
  message(FATAL_ERROR "sqlite3 refused ${SCRIPT}: ${errors}")
endif()
file(RENAME ${partial} ${DATABASE})
