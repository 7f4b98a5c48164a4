# The manual page and the Debian package. `cpack -G DEB` in a configured build
# directory builds runemark_<version>_<arch>.deb from what `cmake --install`
# installs; scripts/build-deb.sh does the whole build with Debian's flags.

# Debian wants manual pages and changelogs compressed without a time stamp
# (gzip -n), so the package builds the same twice.
find_program(RUNEMARK_GZIP gzip REQUIRED)
set(runemark_pkg_dir ${PROJECT_BINARY_DIR}/package)
configure_file(${PROJECT_SOURCE_DIR}/data/runemark.6.in ${runemark_pkg_dir}/runemark.6 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${runemark_pkg_dir}/changelog @ONLY)
foreach(doc runemark.6 changelog)
    add_custom_command(OUTPUT ${runemark_pkg_dir}/${doc}.gz
        COMMAND ${RUNEMARK_GZIP} -9nf -k ${runemark_pkg_dir}/${doc}
        DEPENDS ${runemark_pkg_dir}/${doc}
        COMMENT "Compressing ${doc}")
endforeach()
add_custom_target(runemark_docs ALL
    DEPENDS ${runemark_pkg_dir}/runemark.6.gz ${runemark_pkg_dir}/changelog.gz)

install(FILES ${runemark_pkg_dir}/runemark.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${runemark_pkg_dir}/changelog.gz ${PROJECT_SOURCE_DIR}/data/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME runemark)
set(CPACK_PACKAGE_VENDOR "The Runemark Developers")
set(CPACK_PACKAGE_CONTACT "The Runemark Developers <runemark@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "launcher for Quake patches (mods)")
set(CPACK_PACKAGE_DESCRIPTION
    "Runemark finds the patches (mods) in your Quake directory, lists them in one\n"
    "small window and starts the game with the patch you choose, or with the base\n"
    "game or one of its two mission packs.\n"
    "\n"
    "It opens a patch's read-me in your text editor, rescans the Quake directory\n"
    "on demand and keeps its two settings in a small text file. It ignores the\n"
    "letter case of file names, as the game's data expects, and starts any engine:\n"
    "one in the Quake directory, a packaged one on PATH, an AppImage or a Flatpak.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://runemark.example.org/")
# dpkg-shlibdeps reads the libraries the program links against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Read-me files open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
# The control files with the permissions dpkg itself gives them.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
