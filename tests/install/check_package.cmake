# Makes the Debian packages from this build as scripts/package does, then checks them as a user's
# machine would meet them: the file list, the control fields, lintian, and the programs and
# desktop files unpacked from the package, and the Python client with them. Prints "skipped:
# REASON" where it cannot run.
if(SKIP_REASON)
    message("skipped: ${SKIP_REASON}")
    return()
endif()
foreach(tool dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli)
    find_program(found_${tool} ${tool})
    if(NOT found_${tool})
        message("skipped: ${tool} is not installed (scripts/setup installs it)")
        return()
    endif()
endforeach()

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${ARGN}: status ${rc}\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK}")
run(${CPACK} -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK}")
run(dpkg --print-architecture)
string(STRIP "${out}" arch)
set(main "${WORK}/tessaly_1.0.0_${arch}.deb")
set(tools "${WORK}/tessaly-tools_1.0.0_${arch}.deb")
set(python "${WORK}/python3-tessaly_1.0.0_all.deb")

# Every file, and nothing else, in its place.
set(main_files
    usr/bin/Tessaly
    usr/bin/bootloader
    usr/lib/udev/rules.d/99-tessaly-serial-low-latency.rules
    usr/share/applications/bootloader.desktop
    usr/share/applications/tessaly.desktop
    usr/share/doc/tessaly/changelog.gz
    usr/share/doc/tessaly/copyright)
foreach(size 128 16 24 256 32 48 64)
    list(APPEND main_files usr/share/icons/hicolor/${size}x${size}/apps/bootloader.png
        usr/share/icons/hicolor/${size}x${size}/apps/tessaly.png)
endforeach()
list(APPEND main_files
    usr/share/icons/hicolor/scalable/apps/bootloader.svg
    usr/share/icons/hicolor/scalable/apps/tessaly.svg
    usr/share/man/man1/Tessaly.1.gz
    usr/share/man/man1/bootloader.1.gz
    usr/share/metainfo/org.example.tessaly.bootloader.metainfo.xml
    usr/share/metainfo/org.example.tessaly.tessaly.metainfo.xml
    usr/share/mime/packages/tessaly-firmware.xml)
set(tools_files
    usr/bin/boot-target
    usr/bin/j1939-sim
    usr/share/doc/tessaly-tools/changelog.gz
    usr/share/doc/tessaly-tools/copyright
    usr/share/man/man1/boot-target.1.gz
    usr/share/man/man1/j1939-sim.1.gz)
set(python_files
    usr/lib/python3/dist-packages/tessaly/__init__.py
    usr/lib/python3/dist-packages/tessaly/errors.py
    usr/lib/python3/dist-packages/tessaly/events.py
    usr/lib/python3/dist-packages/tessaly/py.typed
    usr/lib/python3/dist-packages/tessaly/pytest_plugin.py
    usr/lib/python3/dist-packages/tessaly/simulator.py
    usr/lib/python3/dist-packages/tessaly/status.py
    usr/lib/python3/dist-packages/tessaly/transport.py
    usr/share/doc/python3-tessaly/changelog.gz
    usr/share/doc/python3-tessaly/copyright)
foreach(package main tools python)
    run(dpkg-deb --contents "${${package}}")
    string(REGEX MATCHALL "\n-[^\n]* \\./([^\n]+)" lines "\n${out}")
    set(files)
    foreach(line IN LISTS lines)
        string(REGEX REPLACE ".* \\./" "" file "${line}")
        list(APPEND files "${file}")
    endforeach()
    list(SORT files)
    if(NOT files STREQUAL ${package}_files)
        string(REPLACE ";" "\n" files "${files}")
        message(FATAL_ERROR "${${package}} holds:\n${files}")
    endif()
    string(REGEX MATCHALL "[^\n]+" entries "${out}")
    foreach(entry IN LISTS entries)
        if(NOT entry MATCHES "^[-dl][rwx-]+ root/root ")
            message(FATAL_ERROR "not owned by root in ${${package}}: ${entry}")
        endif()
    endforeach()
endforeach()

run(dpkg-deb --field "${main}" Package Section Architecture Depends Recommends)
foreach(field "Package: tessaly\n" "Section: electronics\n" "Architecture: ${arch}\n"
              "Depends: [^\n]*libqt6gui6" "Depends: [^\n]*libqt6widgets6"
              "Recommends: qt6-wayland, libqt6svg6\n")
    if(NOT out MATCHES "${field}")
        message(FATAL_ERROR "no \"${field}\" among the fields of ${main}:\n${out}")
    endif()
endforeach()

run(dpkg-deb --field "${python}" Package Section Architecture Depends)
foreach(field "Package: python3-tessaly\n" "Section: python\n" "Architecture: all\n"
              "Depends: tessaly \\(= 1\\.0\\.0\\), python3 \\(>= 3\\.9\\)\n")
    if(NOT out MATCHES "${field}")
        message(FATAL_ERROR "no \"${field}\" among the fields of ${python}:\n${out}")
    endif()
endforeach()

run(lintian --fail-on error,warning "${main}" "${tools}" "${python}")

# Unpacked, the programs start by themselves and tell their version and licence.
set(root "${WORK}/root")
run(dpkg-deb -x "${main}" "${root}")
run(dpkg-deb -x "${tools}" "${root}")
run(dpkg-deb -x "${python}" "${root}")
foreach(program Tessaly bootloader j1939-sim boot-target)
    execute_process(COMMAND "${root}/usr/bin/${program}" --version WORKING_DIRECTORY "${WORK}"
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT out MATCHES "^${program} 1\\.0\\.0\n"
       OR NOT out MATCHES "\nCopyright \\(C\\) 20[0-9][0-9] Tessaly tools developers\\.\n"
       OR NOT out MATCHES "\nLicense MIT: ")
        message(FATAL_ERROR "unpacked ${program} --version: status ${rc}\n${out}\n${err}")
    endif()
endforeach()

# Each hicolor PNG has the size of its folder (width and height sit at byte 16 of a PNG).
foreach(size 16 24 32 48 64 128 256)
    foreach(icon tessaly bootloader)
        file(READ "${root}/usr/share/icons/hicolor/${size}x${size}/apps/${icon}.png" header
            HEX LIMIT 24)
        math(EXPR hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
        string(REPLACE "0x" "" hex "${hex}")
        string(LENGTH "${hex}" digits)
        math(EXPR pad "8 - ${digits}")
        string(REPEAT "0" ${pad} zeros)
        if(NOT header MATCHES "^89504e47.*${zeros}${hex}${zeros}${hex}$")
            message(FATAL_ERROR "${icon}.png in ${size}x${size} is not a ${size} pixel PNG: ${header}")
        endif()
    endforeach()
endforeach()

run(desktop-file-validate ${root}/usr/share/applications/tessaly.desktop
    ${root}/usr/share/applications/bootloader.desktop)
if(NOT out STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate:\n${out}")
endif()
file(GLOB metainfo "${root}/usr/share/metainfo/*.xml")
run(appstreamcli validate --no-net ${metainfo})
# The example bench test passes with nothing but the unpacked packages: client, Tessaly and
# j1939-sim (where a Python with pytest is at hand).
if(PYTHON)
    run(${PYTHON} ${SOURCE_DIR}/tests/install/bench_from_package.py "${root}"
        ${SOURCE_DIR}/examples/test_bench.py 34)
else()
    message(STATUS "the example bench test is not run: no Python 3 with pytest")
endif()
message(STATUS "packages made and checked: ${main} ${tools} ${python}")
