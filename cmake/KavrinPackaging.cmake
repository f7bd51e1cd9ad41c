# Desktop integration and the Debian package. Every destination is relative to the prefix, so that
# `cmake --install build --prefix DIR` gives a working tree anywhere: the executable finds its
# window module in ../lib/kavrin-rgb-studio, wherever bin/ is.
install(FILES packaging/60-kavrin-rgb-studio.rules DESTINATION lib/udev/rules.d)
install(FILES packaging/kavrin-rgb-studio.desktop DESTINATION share/applications)
install(FILES packaging/kavrin-rgb-studio.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES packaging/com.kavrin.rgbstudio.metainfo.xml DESTINATION share/metainfo)
install(FILES docs/kavrin-rgb-studio.1 DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavrin-rgb-studio)
set(CPACK_PACKAGE_VENDOR KAVRIN)
set(CPACK_PACKAGE_CONTACT "KAVRIN engineering <dev@kavrin.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "RGB lamp control for FORGE CUBE and MIND CUBE GPU docks")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Reads, applies and synchronises the hardware lighting of FORGE CUBE and MIND CUBE\n"
       "external GPU docks, and drives their lamps from the computer with software animations.\n"
       "A desktop application in Simplified Chinese and a command-line tool with JSON output.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kavrin.com/rgb-studio)
# dpkg-shlibdeps reads every ELF file in the package, the dlopened window module included, so Qt
# comes in through it. The window's CJK text needs a font that no library links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-noto-cjk)
# CPack takes maintainer scripts by their file names; one script serves both.
foreach(script IN ITEMS postinst postrm)
    configure_file(packaging/debian/reload-udev ${CMAKE_BINARY_DIR}/debian/${script} COPYONLY)
    list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/${script})
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

if(BUILD_TESTING)
    add_subdirectory(tests/packaging)
endif()
