# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package (make package): cpack -G DEB in the build folder writes
# tobrin_<version>_amd64.deb holding everything `cmake --install` installs, below /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tobrin)
set(CPACK_PACKAGE_VERSION ${TOBRIN_VERSION})
set(CPACK_PACKAGE_VENDOR "Tobrin")
set(CPACK_PACKAGE_CONTACT "${TOBRIN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "catalogue of the directory trees of storage media, with search")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries from the binaries (dpkg-shlibdeps), plus the font that stands in for the
# configured "ＭＳ ゴシック" on the Japanese captions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own Japanese translation, so the dialogs Qt draws (the image file dialog) speak Japanese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")

# The desktop program on a Wayland session; tobrin-cli's completion.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
# Below the summary line; Debian shows these lines as one paragraph.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tobrin keeps the directory trees of CD-ROMs, floppies, USB sticks and folders
in one plain-text catalogue (tobrin.dat) and searches it with up to three
strings, case and full/half-width folding and wildcards. The interface is
Japanese. tobrin is the desktop program; tobrin-cli runs the same registration,
search and checks from a terminal.")
# Packaging installs what `make build` built; it does not build the tests and benchmarks
# again first (the quick package check of the test suite relies on that).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
# CPack strips the programs (CPACK_STRIP_FILES); then, as Debian's own packages are, they
# lose the compiler's notes too.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program tobrin tobrin-cli)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()
")
include(CPack)
