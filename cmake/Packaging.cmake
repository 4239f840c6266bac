# Installation (`cmake --install`) and the Debian package (`cpack`, see scripts/package.sh).
#
# What goes where, under the prefix (/usr for the package):
#   bin/                              the program, the command-line tool, the simulator
#   share/applications/               the desktop entry, named after the program's id
#   share/metainfo/                   what software centres show (AppStream), same id
#   share/mime/packages/              the preset files' type, application/x-zr-preset (*.kvt)
#   share/icons/hicolor/NxN/apps/     the program's icon at the usual sizes
#   share/man/man1/                   a manual page for each program, compressed
#   share/bash-completion/completions/  completion of zr-ctl's commands, options and files
#   lib/udev/rules.d/                 access to amplifiers on USB for the user at the seat
#   share/doc/zr-remote-connect/      copyright and changelog
include(GNUInstallDirs)

set(ZR_PACKAGING_DIR "${CMAKE_SOURCE_DIR}/packaging")
set(ZR_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/zr-remote-connect")
# The program's own reverse-DNS id: the desktop entry and the metainfo are named after it.
set(ZR_APP_ID org.example.zr_remote_connect)

foreach(program zr-remote-connect zr-ctl zr-ampsim)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES "${ZR_PACKAGING_DIR}/desktop/${ZR_APP_ID}.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${ZR_PACKAGING_DIR}/metainfo/${ZR_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES "${ZR_PACKAGING_DIR}/mime/zr-remote-connect.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES "${ZR_PACKAGING_DIR}/completion/zr-ctl"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(DIRECTORY "${ZR_PACKAGING_DIR}/icons/hicolor"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES "${ZR_PACKAGING_DIR}/udev/70-zr-amplifiers.rules"
        DESTINATION lib/udev/rules.d)

# Manual pages and the changelog are installed compressed, as Debian wants them; gzip -n
# keeps the name and time out of the file, so the package is the same from build to build.
set(ZR_COMPRESSED_DIR "${CMAKE_BINARY_DIR}/compressed")
set(ZR_COMPRESSED_FILES)
function(zr_compress source target)
    add_custom_command(OUTPUT "${ZR_COMPRESSED_DIR}/${target}"
                       COMMAND ${CMAKE_COMMAND} -E make_directory "${ZR_COMPRESSED_DIR}"
                       COMMAND gzip -9n -c "${source}" > "${ZR_COMPRESSED_DIR}/${target}"
                       DEPENDS "${source}" VERBATIM)
    set(ZR_COMPRESSED_FILES ${ZR_COMPRESSED_FILES} "${ZR_COMPRESSED_DIR}/${target}" PARENT_SCOPE)
endfunction()

file(GLOB ZR_MAN_PAGES CONFIGURE_DEPENDS "${ZR_PACKAGING_DIR}/man/*.1")
foreach(page ${ZR_MAN_PAGES})
    get_filename_component(name "${page}" NAME)
    zr_compress("${page}" "${name}.gz")
    install(FILES "${ZR_COMPRESSED_DIR}/${name}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
zr_compress("${ZR_PACKAGING_DIR}/debian/changelog" changelog.gz)
add_custom_target(zr_compressed_files ALL DEPENDS ${ZR_COMPRESSED_FILES})

install(FILES "${ZR_COMPRESSED_DIR}/changelog.gz" "${ZR_PACKAGING_DIR}/debian/copyright"
        DESTINATION ${ZR_DOC_DIR})

# The Debian package.  Its library dependencies are read off the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zr-remote-connect)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "ZR Remote Connect developers <zr-remote-connect@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remote control and editor for DSP power amplifiers")
# CPack puts the summary first as the synopsis, indents these lines and turns the empty
# one into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "ZR Remote Connect finds two-channel DSP power amplifiers of the ZR and TARVO
families on USB or on the local network, shows their levels and clip lamps
live, and edits their processing: amplifier mode, parametric and dynamic EQ,
crossover, delay, limiter, speaker load, input gains and signal generator.
Settings live in the amplifier's preset slots or in preset files.

The package also holds zr-ctl, which discovers amplifiers on every network,
reads and writes their settings as preset files and sets single values from
the command line or scripts, and zr-ampsim, a simulated amplifier for trying
the program without one.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not a library, so the package tools cannot see it: the panel's text is laid out for the
# DejaVu faces, which every Debian desktop has but a bare system may not.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX packages)
include(CPack)
