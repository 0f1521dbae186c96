# The Debian package: `cpack --config build/CPackConfig.cmake -G DEB` (or
# `cmake --build build --target package`) after a build. Files go to /usr;
# the library dependencies are computed from the programs' shared libraries
# (dpkg-shlibdeps); the maintainer scripts reload udev so the rule takes
# effect, and on purge remove the copy of the rule the program may have
# installed itself.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trx770)
set(CPACK_PACKAGE_VENDOR "TRX770")
set(CPACK_PACKAGE_CONTACT "TRX770 developers <trx770@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration utility for the TRX770 mouse, keyboard and mouse pad")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Sets up what the TRX770 USB gaming mouse, keyboard and lighted mouse pad
store (button functions, DPI levels, report rate, lighting, macros and the
five onboard profiles) and keeps named profiles on the computer that can
follow the program in the foreground. Includes the udev rule that gives
the user at the seat access to the devices.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Wayland platform plugin and pkexec are used when present.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, pkexec")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/deb/postinst ${CMAKE_CURRENT_LIST_DIR}/deb/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES ON)
include(CPack)
