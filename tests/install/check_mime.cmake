# Compiles the firmware file types into a private MIME database, as a desktop does at install,
# and checks that each type bootloader claims in its desktop entry is known by its file name.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/packages")
file(COPY "${PACKAGE}" DESTINATION "${WORK}/packages")
execute_process(COMMAND "${UPDATE_MIME_DATABASE}" "${WORK}"
    RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "update-mime-database refused the package (${rc}):\n${err}")
endif()

file(READ "${WORK}/globs2" globs)
# Intel HEX by its usual ending; the scrambled type only by "Vlf" spelt exactly so.
foreach(line "text/x-hex:\\*\\.hex\n" "application/x-vlf-firmware:\\*\\.Vlf:cs\n")
    if(NOT globs MATCHES ":${line}")
        message(FATAL_ERROR "no glob line matching ${line} in:\n${globs}")
    endif()
endforeach()

file(READ "${DESKTOP_ENTRY}" entry)
if(NOT entry MATCHES "\nMimeType=([^\n]+);\n")
    message(FATAL_ERROR "no MimeType line in ${DESKTOP_ENTRY}")
endif()
set(types "${CMAKE_MATCH_1}")
foreach(type IN LISTS types)
    if(NOT globs MATCHES "[0-9]+:${type}:")
        message(FATAL_ERROR "the desktop entry claims ${type}, which the package does not define")
    endif()
endforeach()
