# Installation and packaging
#
# Quillo finds its media in the folder of the running program, so the program,
# the media checker and the three media folders go together into one private
# folder, <prefix>/lib/quillo/, and <prefix>/bin/ gets relative links to both
# programs. Desktop entry, icon and AppStream metainfo go where desktops look
# for them. `cpack -G DEB` in the build folder makes a Debian package.

include(GNUInstallDirs)

# Not CMAKE_INSTALL_LIBDIR: on Debian that is lib/<multiarch>, a place for
# libraries; a program's private folder is lib/<package>.
set(QUILLO_INSTALL_PROGRAMDIR "lib/quillo" CACHE STRING
    "Folder (relative to the prefix) for the programs and their media")

install(TARGETS quillo quillo-media-check
        RUNTIME DESTINATION ${QUILLO_INSTALL_PROGRAMDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/media/alfabeto
                  ${PROJECT_SOURCE_DIR}/media/parole
                  ${PROJECT_SOURCE_DIR}/media/immagini
        DESTINATION ${QUILLO_INSTALL_PROGRAMDIR})
# The pictures are Apache-2.0 artwork: their notice travels with them.
install(FILES ${PROJECT_SOURCE_DIR}/media/NOTICE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillo RENAME NOTICE.media)

# bin/quillo -> ../lib/quillo/quillo, relative so the tree can move (and so a
# package's staging folder leaves no trace in the links).
file(RELATIVE_PATH _quillo_bin_to_programs
     /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${QUILLO_INSTALL_PROGRAMDIR})
foreach(_quillo_program quillo quillo-media-check)
  install(CODE "
    set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${_bin}\")
    file(REMOVE \"\${_bin}/${_quillo_program}\")
    message(STATUS \"Installing: \${_bin}/${_quillo_program} -> ${_quillo_bin_to_programs}/${_quillo_program}\")
    file(CREATE_LINK \"${_quillo_bin_to_programs}/${_quillo_program}\" \"\${_bin}/${_quillo_program}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_bin}/${_quillo_program}\")
  ")
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

if(QUILLO_BUILD_TESTS)
  # Each exits 77 (skipped) when its validator is not installed.
  add_test(NAME validate_desktop_entry
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/validate_desktop.sh desktop
                   ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.desktop)
  add_test(NAME validate_metainfo
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/validate_desktop.sh metainfo
                   ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.metainfo.xml)
  add_test(NAME install_layout
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/validate_desktop.sh install
                   ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${CMAKE_COMMAND})
  set_tests_properties(validate_desktop_entry validate_metainfo install_layout PROPERTIES
    SKIP_RETURN_CODE 77 TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;QT_LOGGING_RULES=*.debug=false")
endif()

# Debian package
set(CPACK_PACKAGE_NAME quillo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillo Nuvi")
set(CPACK_PACKAGE_CONTACT "Quillo Nuvi <${QUILLO_CONTACT}>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quillonuvi.it")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "first typing toy for young children (Italian)")
# Lines kept under 80 columns, as Debian tools show them.
set(CPACK_PACKAGE_DESCRIPTION [=[Quillo fills the screen with a big sheet for a small child to type on.
Every key is spoken aloud in Italian. In word mode a letter also shows a
picture of something that starts with it, writes its word and says it.
Pictures and recordings are plain files in /usr/lib/quillo; the
quillo-media-check command says what is wrong with a media folder.]=])
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_GENERATOR DEB)
include(CPack)
