# The Debian package, built by scripts/package with CPack's DEB generator
# from a Release build configured for the prefix /usr.

# The release history and the AppStream metadata name the version being
# built; a version bump that forgets them stops here, not in a package.
file(STRINGS "${PROJECT_SOURCE_DIR}/res/package/changelog" newest_entry LIMIT_COUNT 1)
string(REGEX MATCH "^korvanta \\(([^)]*)\\)" newest_entry "${newest_entry}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "res/package/changelog: the newest entry is for '${CMAKE_MATCH_1}', "
                        "the project is ${PROJECT_VERSION}")
endif()
file(READ "${PROJECT_SOURCE_DIR}/res/desktop/com.quorvel.korvanta.metainfo.xml" metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" newest_release "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "res/desktop/com.quorvel.korvanta.metainfo.xml: the newest release is "
                        "'${CMAKE_MATCH_1}', the project is ${PROJECT_VERSION}")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanta)
set(CPACK_PACKAGE_VENDOR QUORVEL)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn presentations into one JPEG per slide")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvanta turns a presentation (.ppt or .pptx) into one JPEG image per slide,
exactly 1280 x 800 pixels, and delivers the images as one folder named after
the presentation to a local folder, an FTP server or an SMB file share.

The slides are rendered by LibreOffice Impress, run headless with a private
profile. The package holds the desktop program korvanta and the command line
korvanta-cli for scripts and machines without a desktop.")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvanta maintainers <maintainers@quorvel.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries' packages come from dpkg-shlibdeps. The rest is what
# the programs start or read at run time: the office that renders the slides,
# the fonts that decks name most, the desktop's opener, Qt's own texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libreoffice-impress-nogui | libreoffice-impress, xdg-utils, qt6-translations-l10n, \
fonts-crosextra-carlito, fonts-crosextra-caladea, fonts-liberation2, fonts-noto-cjk, \
fonts-liberation, fonts-urw-base35, fonts-wine")

include(CPack)
