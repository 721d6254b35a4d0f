# `cmake --install` and the Debian package (cmake/package.cmake) lay the
# programs out like this, under the prefix:
#   lib/zxexam/zxexam, lib/zxexam/zxresults   with ExLang/ and ExSounds/ beside
#                                             them, where both look for them
#   bin/zxexam, bin/zxresults                 relative links to those
#   bin/zxbank
#   share/zxexam/examples/sample.zxb          the sample bank
#   share/applications, share/mime/packages, share/icons/hicolor,
#   share/metainfo, share/man/man1, share/doc/zxexam
# Included by the top CMakeLists.txt when the player is built.

include(GNUInstallDirs)
# The software centre's name of the player (AppStream wants a reversed
# domain name) and the package's maintainer.
set(ZX_APPSTREAM_ID io.github.zxexam.zxexam)
set(ZX_PACKAGE_MAINTAINER "zxexam maintainers <zxexam@example.org>" CACHE STRING
    "Maintainer of the Debian package (name <address>)")
set(ZX_INSTALL_PROGRAM_DIR lib/zxexam)
install(TARGETS zxexam zxresults RUNTIME DESTINATION ${ZX_INSTALL_PROGRAM_DIR})
install(TARGETS zxbank RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_BINARY_DIR}/ExLang DESTINATION ${ZX_INSTALL_PROGRAM_DIR} OPTIONAL)
install(DIRECTORY ${PROJECT_BINARY_DIR}/ExSounds DESTINATION ${ZX_INSTALL_PROGRAM_DIR} OPTIONAL)

# The links are made in the build folder and installed as links, so they
# stay relative and work in any staging folder (DESTDIR, the package).
file(RELATIVE_PATH zx_link_target /root/${CMAKE_INSTALL_BINDIR} /root/${ZX_INSTALL_PROGRAM_DIR})
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/install-links)
foreach(zx_program zxexam zxresults)
  file(CREATE_LINK ${zx_link_target}/${zx_program} ${PROJECT_BINARY_DIR}/install-links/${zx_program} SYMBOLIC)
  install(FILES ${PROJECT_BINARY_DIR}/install-links/${zx_program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES ${PROJECT_BINARY_DIR}/examples/sample.zxb DESTINATION ${CMAKE_INSTALL_DATADIR}/zxexam/examples)

# Desktop entry, file types, icon and the software centre's metadata.  The
# entry runs the program by name (bin/ of /usr and /usr/local is on PATH),
# so it holds whatever the prefix or the staging folder.
set(ZXEXAM zxexam)
configure_file(${PROJECT_SOURCE_DIR}/app/desktop/zxexam.desktop.in ${PROJECT_BINARY_DIR}/zxexam.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zxexam.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/app/desktop/zxexam-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME zxexam.xml)
install(FILES ${PROJECT_SOURCE_DIR}/app/desktop/zxexam.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${PROJECT_SOURCE_DIR}/app/desktop/zxexam.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${ZX_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${ZX_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages, written in scdoc (man/*.scd), stored compressed.
find_program(ZX_SCDOC scdoc)
find_program(ZX_GZIP gzip)
if(ZX_SCDOC AND ZX_GZIP)
  set(ZX_MAN_PAGES "")
  foreach(zx_page zxexam.1 zxbank.1 zxresults.1)
    set(zx_source ${PROJECT_SOURCE_DIR}/man/${zx_page}.scd)
    set(zx_output ${PROJECT_BINARY_DIR}/man/${zx_page}.gz)
    add_custom_command(
      OUTPUT ${zx_output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND sh -c "\"$1\" < \"$2\" | \"$3\" -9 -n > \"$4\"" zx-man ${ZX_SCDOC} ${zx_source} ${ZX_GZIP} ${zx_output}
      DEPENDS ${zx_source}
      COMMENT "Writing the manual page ${zx_page}"
      VERBATIM)
    list(APPEND ZX_MAN_PAGES ${zx_output})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${ZX_MAN_PAGES})
  install(FILES ${ZX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "scdoc not found: no manual pages (./setup.sh package installs it)")
endif()

# Only a live install tells the desktop at once; a staged one (DESTDIR, and
# the package, whose triggers do it on the machine it is installed on)
# leaves this machine alone.
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
    execute_process(COMMAND update-mime-database \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\" ERROR_QUIET)
    execute_process(COMMAND update-desktop-database \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
                    ERROR_QUIET)
  endif()")

# The package's documents: the copyright note and a changelog naming this
# version (stored compressed, as Debian keeps them).
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" zx_date_ok "${ZX_RELEASE_DATE}")
if(NOT zx_date_ok)
  message(FATAL_ERROR "ZX_RELEASE_DATE must read YYYY-MM-DD, not ${ZX_RELEASE_DATE}")
endif()
# Days since 1970 of a civil date, then the date as a changelog writes it.
math(EXPR zx_y "${CMAKE_MATCH_1}")
math(EXPR zx_m "${CMAKE_MATCH_2}")
math(EXPR zx_d "${CMAKE_MATCH_3}")
if(zx_m LESS_EQUAL 2)
  math(EXPR zx_y "${zx_y} - 1")
  math(EXPR zx_mp "${zx_m} + 9")
else()
  math(EXPR zx_mp "${zx_m} - 3")
endif()
math(EXPR zx_era "${zx_y} / 400")
math(EXPR zx_yoe "${zx_y} - ${zx_era} * 400")
math(EXPR zx_doy "(153 * ${zx_mp} + 2) / 5 + ${zx_d} - 1")
math(EXPR zx_doe "${zx_yoe} * 365 + ${zx_yoe} / 4 - ${zx_yoe} / 100 + ${zx_doy}")
math(EXPR zx_epoch "(${zx_era} * 146097 + ${zx_doe} - 719468) * 86400 + 12 * 3600")
set(zx_saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${zx_epoch})
string(TIMESTAMP ZX_RELEASE_DATE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${zx_saved_epoch}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
if(ZX_GZIP)
  add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND ${ZX_GZIP} -9 -n -f -k ${PROJECT_BINARY_DIR}/packaging/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog
    VERBATIM)
  add_custom_target(package_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Tests of the install rules and the package (tests/package/); not in the
# sanitizer build, whose programs are not what is shipped.
if(ZX_BUILD_TESTS AND NOT ZX_SANITIZE)
  add_test(NAME desktop_entry_escaping
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/check_desktop_entry.sh ${PROJECT_SOURCE_DIR})
  add_test(NAME package_contents
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/check_package.sh ${PROJECT_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(desktop_entry_escaping package_contents PROPERTIES LABELS package TIMEOUT 600)
endif()
