# Third-party libraries, all from Debian packages (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

find_path(OSCPACK_INCLUDE_DIR oscpack/osc/OscOutboundPacketStream.h REQUIRED)
find_library(OSCPACK_LIBRARY oscpack REQUIRED)
add_library(oscpack::oscpack UNKNOWN IMPORTED)
set_target_properties(oscpack::oscpack PROPERTIES
    IMPORTED_LOCATION "${OSCPACK_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OSCPACK_INCLUDE_DIR}")

pkg_check_modules(HIDAPI REQUIRED IMPORTED_TARGET hidapi-hidraw)

# The X libraries JUCE opens at run time; the window also reads the desktop's scale from the
# X resources itself (src/shell/DesktopScale).
if(ZR_GUI AND NOT ZR_FUZZ)
    pkg_check_modules(XLIBS REQUIRED IMPORTED_TARGET x11 xext xcursor xinerama xrender xrandr)
    # The QR code of the phone remote's address (libqrencode-dev).
    pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
endif()

if(NOT ZR_FUZZ)
    # Boost.Beast and Asio for the phone remote's server, header-only (libboost-dev).
    find_package(Boost 1.74 REQUIRED)
    find_package(GTest REQUIRED)
    find_package(benchmark REQUIRED)
endif()
