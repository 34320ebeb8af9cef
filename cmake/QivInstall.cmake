# Install rules and the Debian package.
#
#   cmake --install build --prefix P   puts the program in P/bin, its layouts and examples in
#                                      P/share/qiv_proto, the manual page, the menu entry and
#                                      the icon where the desktop looks for them;
#   cpack -G DEB (in the build folder) makes qiv-proto_VERSION_ARCH.deb of the same files
#                                      under /usr.
#
# The program finds its layouts at ../share/qiv_proto/layouts relative to its own folder
# (platform/executable_path.h), so the share folder is "share" whatever GNUInstallDirs says.

include(GNUInstallDirs)

install(TARGETS qiv_proto RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/layouts/ DESTINATION share/qiv_proto/layouts
        FILES_MATCHING PATTERN "*.fig")
# The made-up data and the demo script; the generator that rebuilds them stays in the sources.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION share/qiv_proto/examples
        PATTERN "*.py" EXCLUDE PATTERN "__pycache__" EXCLUDE)

configure_file(${PROJECT_SOURCE_DIR}/packaging/qiv_proto.1.in ${PROJECT_BINARY_DIR}/qiv_proto.1
               @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/qiv_proto.1 DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/qiv_proto.desktop DESTINATION share/applications)
# Help > User guide finds it at ../share/doc/qiv-proto from the program's folder.
install(FILES ${PROJECT_BINARY_DIR}/src/user-guide.html DESTINATION share/doc/qiv-proto)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/qiv_proto.svg
        DESTINATION share/icons/hicolor/scalable/apps)

# The Debian package. The version is the project's (the one --version prints); the Qt and
# C++ runtime dependencies come from dpkg-shlibdeps (Debian's dpkg-dev) reading the binary.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qiv-proto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "qiv_proto developers <qiv-proto@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "landmark protocols for two-dimensional morphometrics")
set(CPACK_PACKAGE_DESCRIPTION
    "qiv_proto reads a file of specimens, each holding the x and y coordinates of the same\n"
    "numbered landmarks, superimposes them by an iterative Procrustes fit and shows every\n"
    "specimen with the numbered mean shape. From there it builds protocols (lines between\n"
    "landmarks), saves landmark subsets, makes back-reflected (symmetric) data sets, groups\n"
    "protocol lines into blocks with a target matrix, and saves its pictures as SVG, PNG or\n"
    "PDF. Everything the windows do can be replayed without a display from a session script.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt draws text with whatever font fontconfig finds; the pictures were checked with DejaVu.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
