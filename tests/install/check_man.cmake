# Renders each manual page as man would and fails on any complaint from the formatter.
foreach(page IN LISTS PAGES)
    execute_process(COMMAND "${GROFF}" -man -ww -z -Tutf8 "${page}"
        RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
        message(FATAL_ERROR "${page}: status ${rc}\n${err}")
    endif()
endforeach()
