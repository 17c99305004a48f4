# Installs the build into a fresh prefix, checks that every file lands in its usual place, and
# starts each installed program from an unrelated folder: nothing may be looked up in the build.
#
# `cmake --install` would write the list of installed files to the build folder's
# install_manifest.txt, the list the README's uninstall reads. The install script is run from a
# copy whose list goes to the stage instead, so a test run leaves that list alone.
file(REMOVE_RECURSE "${STAGE}")
set(kept "${BUILD_DIR}/install_manifest.txt")
file(TIMESTAMP "${kept}" kept_before "%s")
file(READ "${BUILD_DIR}/cmake_install.cmake" script)
set(manifest_line "file(WRITE \"${BUILD_DIR}/\${CMAKE_INSTALL_MANIFEST}\"")
string(FIND "${script}" "${manifest_line}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "cannot find where ${BUILD_DIR}/cmake_install.cmake writes its manifest")
endif()
string(REPLACE "${manifest_line}" "file(WRITE \"${STAGE}.manifest\"" script "${script}")
file(WRITE "${STAGE}.cmake" "${script}")
execute_process(COMMAND ${CMAKE_COMMAND} "-DCMAKE_INSTALL_PREFIX=${STAGE}" -P "${STAGE}.cmake"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install failed (${rc}):\n${out}\n${err}")
endif()

set(expected
    share/applications/tessaly.desktop
    share/applications/bootloader.desktop
    share/icons/hicolor/scalable/apps/tessaly.svg
    share/icons/hicolor/scalable/apps/bootloader.svg
    share/icons/hicolor/16x16/apps/tessaly.png
    share/icons/hicolor/256x256/apps/bootloader.png
    share/man/man1/Tessaly.1.gz
    share/man/man1/bootloader.1.gz
    share/man/man1/j1939-sim.1.gz
    share/man/man1/boot-target.1.gz
    share/metainfo/org.example.tessaly.tessaly.metainfo.xml
    share/metainfo/org.example.tessaly.bootloader.metainfo.xml
    share/mime/packages/tessaly-firmware.xml
    share/doc/tessaly/copyright
    share/doc/tessaly/changelog.gz
    lib/udev/rules.d/99-tessaly-serial-low-latency.rules)
foreach(program IN LISTS PROGRAMS)
    list(APPEND expected bin/${program})
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${STAGE}/${file}")
        message(FATAL_ERROR "missing after install: ${file}")
    endif()
endforeach()

# The Python client where that Python version looks for packages installed by hand.
file(GLOB client "${STAGE}/lib/python3*/dist-packages/tessaly/simulator.py")
if(NOT client)
    message(FATAL_ERROR "missing after install: lib/python3.X/dist-packages/tessaly")
endif()

# Nothing but the programs goes to bin, and nothing lands outside the usual folders.
file(GLOB top RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT top)
if(NOT top STREQUAL "bin;lib;share")
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
file(TIMESTAMP "${kept}" kept_after "%s")
if(NOT kept_after STREQUAL kept_before)
    message(FATAL_ERROR "the test install changed ${kept}")
endif()
message(STATUS "installed into ${STAGE}: ${expected}")
