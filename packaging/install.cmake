# Installation: the launcher and the files it finds beside its real path live together in
# lib/velmora-launcher; bin/ holds a link to it. The stand-in emulator is a component of its
# own that is not installed by default, since a real emulator installation brings its own.

set(VELMORA_INSTALL_DIR lib/velmora-launcher)
set(VELMORA_APP_ID com.velmora.MobileEmulatorLauncher)

install(TARGETS VelmoraMobileEmuLauncher RUNTIME DESTINATION ${VELMORA_INSTALL_DIR}
        COMPONENT launcher)
install(FILES data/LauncherDefault.ini data/LauncherHelp.html
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
install(FILES packaging/${VELMORA_APP_ID}.metainfo.xml DESTINATION share/metainfo
        COMPONENT launcher)

install(TARGETS VelmoraMobileEmu RUNTIME DESTINATION ${VELMORA_INSTALL_DIR}
        COMPONENT emulator EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora-launcher)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Velmora launcher developers <launcher@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Launcher for the Velmora Mobile Emulator")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps named profiles of resolution, pixel density, input and arguments for the Velmora\nMobile Emulator and starts it with one click.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The Qt 6 libraries the binary really links are found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
