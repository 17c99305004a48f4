# Installs the build into a fresh prefix, checks that every file lands in its usual place, and
# starts each installed program from an unrelated folder: nothing may be looked up in the build.
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${STAGE}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

set(expected
    share/applications/tessaly.desktop
    share/applications/bootloader.desktop
    share/icons/hicolor/scalable/apps/tessaly.svg
    share/icons/hicolor/scalable/apps/bootloader.svg
    share/man/man1/Tessaly.1
    share/man/man1/bootloader.1
    share/mime/packages/tessaly-firmware.xml
    share/doc/Tessaly/99-tessaly-serial-low-latency.rules)
foreach(program IN LISTS PROGRAMS)
    list(APPEND expected bin/${program})
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${STAGE}/${file}")
        message(FATAL_ERROR "missing after install: ${file}")
    endif()
endforeach()

# Nothing but the programs goes to bin, and nothing lands outside the usual folders.
file(GLOB top RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT top)
if(NOT top STREQUAL "bin;share" AND NOT top STREQUAL "share")
    message(FATAL_ERROR "unexpected top-level entries under the prefix: ${top}")
endif()

# Started by path from another folder, with the build folder out of reach by name.
file(MAKE_DIRECTORY "${STAGE}/elsewhere")
foreach(program IN LISTS PROGRAMS)
    execute_process(COMMAND "${STAGE}/bin/${program}" --version
        WORKING_DIRECTORY "${STAGE}/elsewhere"
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT out MATCHES "^${program} [0-9]+\\.[0-9]+\\.[0-9]+")
        message(FATAL_ERROR "installed ${program} --version: status ${rc}\n${out}\n${err}")
    endif()
endforeach()
message(STATUS "installed into ${STAGE}: ${expected}")
