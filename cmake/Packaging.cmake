# Debian packages from one CPack run (scripts/package): `tessaly` with the two programs,
# `tessaly-tools` with the device stand-ins and `python3-tessaly` with the Python client, each
# from its install component.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VENDOR "Tessaly tools developers")
set(CPACK_PACKAGE_CONTACT "Tessaly tools developers <tessaly-tools@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders as Debian expects them whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tessaly tools python)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies from the binaries (dpkg-shlibdeps); the architecture from dpkg.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

set(CPACK_DEBIAN_TESSALY_PACKAGE_NAME tessaly)
# The X11 plug-in comes with Qt's GUI library (a library dependency of the binaries); the
# Wayland one is a package of its own, without which a Wayland desktop that has no XWayland
# opens neither window. Recommended rather than required, since an X11 desktop does without.
# The SVG plug-in lets Qt take the scalable icon; the PNG sizes do without it.
# Tessaly reads bench sequences with yaml-cpp (also found by dpkg-shlibdeps).
set(CPACK_DEBIAN_TESSALY_PACKAGE_DEPENDS "libyaml-cpp0.7")
set(CPACK_DEBIAN_TESSALY_PACKAGE_RECOMMENDS "qt6-wayland, libqt6svg6")
set(CPACK_DEBIAN_TESSALY_PACKAGE_SUGGESTS "tessaly-tools, setserial")
set(CPACK_DEBIAN_TESSALY_DESCRIPTION "remote terminal and firmware loader for a J1939 simulator
Two desktop programs for a J1939 vehicle-bus simulator: a device that
plays a truck's engine, ABS and transmission controllers on a CAN bus and
is attached to the computer by a serial port.
.
Tessaly, the remote terminal, finds the simulator on the COM port it
remembers, keeps the link alive, mirrors the simulated vehicle on one
dashboard (engine values, lamps, DM1/DM2 trouble codes, VIN, engine clock)
and lets the operator steer it.
.
bootloader, the firmware loader, carries a firmware image, byte by byte
against the target's echo, into the simulator's PIC boot loader.
.
A udev rule puts common USB-serial adapters (FTDI, Silicon Labs CP210x,
WCH CH34x, Prolific PL2303) in low-latency mode.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME tessaly-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SUGGESTS tessaly)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "J1939 simulator and boot loader stand-ins for Tessaly
Two command-line stand-ins for trying the Tessaly tools without hardware,
each on a pseudo-terminal that the programs reach as a COM port.
.
j1939-sim plays the J1939 simulator's side of Tessaly's line protocol,
with faults to try the terminal with (silence, noise, bad checksums, old
firmware).
.
boot-target plays the PIC boot loader for bootloader and prints what it
received and the host's turnaround per byte.")

# The client speaks the headless protocol of the Tessaly of the same version.
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-tessaly)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "tessaly (= ${PROJECT_VERSION}), python3 (>= 3.9)")
set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS "tessaly-tools, python3-pytest")
# Byte-compiled on installation and cleaned on removal, as Debian's Python packages are.
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/data/python3-tessaly/postinst
    ${PROJECT_SOURCE_DIR}/data/python3-tessaly/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PYTHON_DESCRIPTION "Python client and pytest plugin for Tessaly's headless mode
A Python 3 package, standard library only, for bench tests that drive a
J1939 simulator through Tessaly without a window: it starts
Tessaly --headless, waits for the simulator's identification, sends the
level, keypad and mode commands and returns once each is acknowledged,
and hands over the engine values, lamps and DM1/DM2 trouble codes as
typed values. Every wait has a time-out, and a lost simulator or a
refused command raises an error with Tessaly's own text.
.
The pytest plugin tessaly.pytest_plugin gives tests the fixtures
simulator and simulator_session, with the port from --tessaly-port or
TESSALY_PORT.")

include(CPack)
