# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, built by CPack: `cmake --build build --target package` (or `make package`
# at the root) writes build/orvane_<version>_<arch>.deb. It holds what `cmake --install`
# installs under /usr: the program, its desktop entry and icons, the AppStream metadata, the
# description of its site files for the MIME database, the manual page, and the copyright and
# changelog files Debian asks for.

set(ORVANE_PAQUET ${CMAKE_CURRENT_LIST_DIR})
set(ORVANE_ID_APPSTREAM example.orvane.Orvane)
set(ORVANE_METAINFO ${ORVANE_PAQUET}/${ORVANE_ID_APPSTREAM}.metainfo.xml)

# One release, one version: the latest release of the metadata and the latest changelog entry
# must be this project's version. The release's date dates the manual page.
file(READ ${ORVANE_METAINFO} metainfo)
if(NOT metainfo MATCHES "<release version=\"([^\"]+)\" date=\"([0-9-]+)\"")
    message(FATAL_ERROR "${ORVANE_METAINFO}: no <release version=... date=...>")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${ORVANE_METAINFO}: latest release ${CMAKE_MATCH_1}, "
                        "the project is ${PROJECT_VERSION}")
endif()
set(ORVANE_DATE_PAGE ${CMAKE_MATCH_2})
file(STRINGS ${ORVANE_PAQUET}/changelog entree LIMIT_COUNT 1)
if(NOT entree MATCHES "^orvane \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "paquet/changelog: the latest entry is not version ${PROJECT_VERSION}")
endif()

# Compressed as Debian wants them: gzip -9, without the file's name and time, so that two
# builds give the same bytes.
find_program(ORVANE_GZIP gzip REQUIRED)
configure_file(${ORVANE_PAQUET}/orvane.1.in ${CMAKE_CURRENT_BINARY_DIR}/orvane.1 @ONLY)
add_custom_command(OUTPUT orvane.1.gz
    COMMAND ${ORVANE_GZIP} -9n -c orvane.1 > orvane.1.gz
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/orvane.1
    VERBATIM)
add_custom_command(OUTPUT changelog.gz
    COMMAND ${ORVANE_GZIP} -9n -c ${ORVANE_PAQUET}/changelog > changelog.gz
    DEPENDS ${ORVANE_PAQUET}/changelog
    VERBATIM)
add_custom_target(orvane_documents ALL DEPENDS orvane.1.gz changelog.gz)

# The shipped program's relocations are resolved at start and then made read-only.
target_link_options(orvane PRIVATE "LINKER:-z,relro,-z,now")

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS orvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/app/orvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/app/images/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${ORVANE_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ORVANE_PAQUET}/orvane.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/orvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ORVANE_PAQUET}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "L'équipe Orvane <equipe@orvane.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.orvane.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sun-path diagrams for a latitude and a set of dates")
set(CPACK_PACKAGE_DESCRIPTION
"Orvane draws sun-path diagrams. For a latitude and one or more dates it plots
the course of the sun across a circular diagram of the sky in true solar time,
bounds the year with the courses of the limit days, adds the hour lines,
shades horizon masks given as azimuth and height points, and lists the times
of sunrise and sunset and the length of each day.

The diagram is exported as a PNG or JPEG image, as SVG, or as a PDF page that
holds the diagram, its caption and the table, and that page can be printed.
Given arguments, the program draws a diagram or prints its table as CSV
without any window.
The user interface is in French.")
# The libraries the program links, found by dpkg-shlibdeps (Qt 5 with its SVG and print
# support, ISA-L and zlib), and what it loads or reads at run time: the MySQL driver of the
# update check, the toolkit's French texts, the font that stands in for "Courier", the
# ephemeris library of the accurate sun and the time zones of legal time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt5sql5-mysql, qttranslations5-l10n, fonts-liberation, liberfa1, tzdata")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
