# Installation: the launcher and the files it finds beside its real path live together in
# lib/velmora-launcher; bin/ holds a link to it. The stand-in emulator is a component of its
# own that is not installed by default, since a real emulator installation brings its own.

set(VELMORA_INSTALL_DIR lib/velmora-launcher)
set(VELMORA_APP_ID com.velmora.MobileEmulatorLauncher)

install(TARGETS VelmoraMobileEmuLauncher RUNTIME DESTINATION ${VELMORA_INSTALL_DIR}
        COMPONENT launcher)
install(FILES data/LauncherDefault.ini data/LauncherHelp.html data/LauncherHelp.de.html
        DESTINATION ${VELMORA_INSTALL_DIR} COMPONENT launcher)
install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/VelmoraMobileEmuLauncher\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK ../${VELMORA_INSTALL_DIR}/VelmoraMobileEmuLauncher \"\${link}\" SYMBOLIC)
    message(STATUS \"Installing: \${link}\")
" COMPONENT launcher)

install(FILES packaging/${VELMORA_APP_ID}.desktop DESTINATION share/applications
        COMPONENT launcher)
install(FILES packaging/${VELMORA_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps
        COMPONENT launcher)
# The desktop's ways in: the session bus starts the launcher for a request (the desktop file
# says DBusActivatable), GNOME Shell's search and KRunner ask it, and exported profile files
# have a type of their own that opens with it.
# The service file names the launcher by its installed path: written as it is installed, where
# the prefix is known.
install(CODE "
    set(services \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/dbus-1/services\")
    file(MAKE_DIRECTORY \"\${services}\")
    file(WRITE \"\${services}/${VELMORA_APP_ID}.service\"
         \"[D-BUS Service]\\nName=${VELMORA_APP_ID}\\nExec=\${CMAKE_INSTALL_PREFIX}/bin/VelmoraMobileEmuLauncher --dbus-service\\n\")
    message(STATUS \"Installing: \${services}/${VELMORA_APP_ID}.service\")
" COMPONENT launcher)
install(FILES packaging/${VELMORA_APP_ID}.search-provider.ini
        DESTINATION share/gnome-shell/search-providers COMPONENT launcher)
install(FILES packaging/${VELMORA_APP_ID}.krunner.desktop DESTINATION share/krunner/dbusplugins
        RENAME ${VELMORA_APP_ID}.desktop COMPONENT launcher)
install(FILES packaging/${VELMORA_APP_ID}.mime.xml DESTINATION share/mime/packages
        RENAME ${VELMORA_APP_ID}.xml COMPONENT launcher)
# Version and licence come from one place, the project's own.
configure_file(packaging/${VELMORA_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${VELMORA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${VELMORA_APP_ID}.metainfo.xml DESTINATION share/metainfo
        COMPONENT launcher)
# Shell completion, in each shell's folder for completions that packages bring.
install(FILES packaging/completion/VelmoraMobileEmuLauncher.bash
        DESTINATION share/bash-completion/completions RENAME VelmoraMobileEmuLauncher
        COMPONENT launcher)
install(FILES packaging/completion/_VelmoraMobileEmuLauncher
        DESTINATION share/zsh/vendor-completions COMPONENT launcher)
install(FILES packaging/completion/VelmoraMobileEmuLauncher.fish
        DESTINATION share/fish/vendor_completions.d COMPONENT launcher)

# The manual page and the changelog go compressed, as Debian wants them (no name or time in
# the gzip header, so that builds are reproducible).
set(VELMORA_GZIPPED)
foreach(pair "docs/VelmoraMobileEmuLauncher.1;VelmoraMobileEmuLauncher.1.gz"
             "packaging/changelog;changelog.gz")
    list(GET pair 0 source)
    list(GET pair 1 target)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${target}
        COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/${source} > ${CMAKE_BINARY_DIR}/${target}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
    list(APPEND VELMORA_GZIPPED ${CMAKE_BINARY_DIR}/${target})
endforeach()
add_custom_target(velmoradocs ALL DEPENDS ${VELMORA_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/VelmoraMobileEmuLauncher.1.gz DESTINATION share/man/man1
        COMPONENT launcher)
# The device catalogue built into the launcher comes from an Apache-2.0 package, whose NOTICE
# travels with it.
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz packaging/copyright
        DESTINATION share/doc/velmora-launcher COMPONENT launcher)
install(FILES data/devices.NOTICE DESTINATION share/doc/velmora-launcher RENAME NOTICE.devices
        COMPONENT launcher)

install(TARGETS VelmoraMobileEmu RUNTIME DESTINATION ${VELMORA_INSTALL_DIR}
        COMPONENT emulator EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora-launcher)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Velmora launcher developers <launcher@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "launcher for the Velmora Mobile Emulator")
# Every line at most 80 characters, as Debian's tools want them.
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps named profiles of resolution, pixel density, input and arguments\nfor the Velmora Mobile Emulator and starts it with one click, from its\nwindow or from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The Qt 6 libraries the binary really links are found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The xcb platform plugin is no library the binary links, but without it no window opens.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own texts (the standard buttons of its dialogs) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
