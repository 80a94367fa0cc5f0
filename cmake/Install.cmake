# Installation and packaging
#
# Quillo finds its media in the folder of the running program, so the program,
# the media checker, the parents' window and the three media folders go
# together into one private folder, <prefix>/lib/quillo/. Relative links start
# them: <prefix>/games/quillo (a game, where Debian puts games),
# <prefix>/bin/quillo-media-check and <prefix>/bin/quillo-parole.
# Desktop entry, icon, AppStream metainfo and man pages go where desktops and
# man look for them, the copyright and changelog to share/doc/quillo. The
# child's two login sessions go where display managers list them.
#
# `cpack -G DEB` in the build folder, or `bash tools/setup.sh deb`, makes the
# Debian package.

include(GNUInstallDirs)

# Not CMAKE_INSTALL_LIBDIR: on Debian that is lib/<multiarch>, a place for
# libraries; a program's private folder is lib/<package>.
set(QUILLO_INSTALL_PROGRAMDIR "lib/quillo" CACHE STRING
    "Folder (relative to the prefix) for the programs and their media")
# /usr/games and /usr/local/games are on Debian's default PATH.
set(QUILLO_INSTALL_GAMESDIR "games" CACHE STRING
    "Folder (relative to the prefix) for the link that starts the game")

install(TARGETS quillo quillo-media-check quillo-parole
        RUNTIME DESTINATION ${QUILLO_INSTALL_PROGRAMDIR})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/packaging/sessions/quillo-x11-session
        DESTINATION ${QUILLO_INSTALL_PROGRAMDIR})
# The root part of "quillo-parole child", which pkexec starts: where polkit's
# action names it, and where quillo-parole looks for it
# (../../libexec/quillo/ from its own folder).
set(QUILLO_INSTALL_HELPERDIR "${CMAKE_INSTALL_LIBEXECDIR}/quillo")
install(TARGETS quillo-child-setup RUNTIME DESTINATION ${QUILLO_INSTALL_HELPERDIR})
install(CODE "
  file(READ \"${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.child-setup.policy\" _policy)
  string(REPLACE \"@QUILLO_CHILD_SETUP@\" \"\${CMAKE_INSTALL_PREFIX}/${QUILLO_INSTALL_HELPERDIR}/quillo-child-setup\" _policy \"\${_policy}\")
  set(_made \"${PROJECT_BINARY_DIR}/packaging/it.quillonuvi.Quillo.child-setup.policy\")
  file(WRITE \"\${_made}\" \"\${_policy}\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/polkit-1/actions\" TYPE FILE
       PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ FILES \"\${_made}\")
")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/media/alfabeto
                  ${PROJECT_SOURCE_DIR}/media/parole
                  ${PROJECT_SOURCE_DIR}/media/immagini
        DESTINATION ${QUILLO_INSTALL_PROGRAMDIR})
# The pictures are Apache-2.0 artwork: their notice travels with them.
install(FILES ${PROJECT_SOURCE_DIR}/media/NOTICE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillo RENAME NOTICE.media)

# games/quillo -> ../lib/quillo/quillo, bin/quillo-media-check and
# bin/quillo-parole likewise,
# relative so the tree can move (and so a package's staging folder leaves no
# trace in the links).
foreach(_quillo_link "${QUILLO_INSTALL_GAMESDIR}/quillo" "${CMAKE_INSTALL_BINDIR}/quillo-media-check"
                     "${CMAKE_INSTALL_BINDIR}/quillo-parole")
  get_filename_component(_quillo_program "${_quillo_link}" NAME)
  get_filename_component(_quillo_linkdir "${_quillo_link}" DIRECTORY)
  file(RELATIVE_PATH _quillo_to_programs
       /prefix/${_quillo_linkdir} /prefix/${QUILLO_INSTALL_PROGRAMDIR})
  install(CODE "
    set(_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${_quillo_linkdir}\")
    file(MAKE_DIRECTORY \"\${_dir}\")
    file(REMOVE \"\${_dir}/${_quillo_program}\")
    message(STATUS \"Installing: \${_dir}/${_quillo_program} -> ${_quillo_to_programs}/${_quillo_program}\")
    file(CREATE_LINK \"${_quillo_to_programs}/${_quillo_program}\" \"\${_dir}/${_quillo_program}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_dir}/${_quillo_program}\")
  ")
endforeach()

# Man pages and the Debian changelog are installed compressed, without a name
# or time stamp in the gzip header, so that two builds give the same bytes.
set(_quillo_compressed)
foreach(_quillo_source man/quillo.6 man/quillo-media-check.1 man/quillo-parole.1 debian/changelog)
  get_filename_component(_quillo_name "${_quillo_source}" NAME)
  if(_quillo_name STREQUAL "changelog")
    set(_quillo_name changelog.Debian)
  endif()
  set(_quillo_plain "${PROJECT_BINARY_DIR}/packaging/${_quillo_name}")
  add_custom_command(OUTPUT "${_quillo_plain}.gz"
    COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/packaging/${_quillo_source}" "${_quillo_plain}"
    COMMAND gzip -9nf "${_quillo_plain}"
    DEPENDS "${PROJECT_SOURCE_DIR}/packaging/${_quillo_source}"
    COMMENT "Compressing ${_quillo_source}" VERBATIM)
  list(APPEND _quillo_compressed "${_quillo_plain}.gz")
endforeach()
# The parents' program's page in Italian too, where man -L it finds it.
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/packaging/it")
add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/packaging/it/quillo-parole.1.gz"
  COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/packaging/man/it/quillo-parole.1"
          "${PROJECT_BINARY_DIR}/packaging/it/quillo-parole.1"
  COMMAND gzip -9nf "${PROJECT_BINARY_DIR}/packaging/it/quillo-parole.1"
  DEPENDS "${PROJECT_SOURCE_DIR}/packaging/man/it/quillo-parole.1"
  COMMENT "Compressing man/it/quillo-parole.1" VERBATIM)
list(APPEND _quillo_compressed "${PROJECT_BINARY_DIR}/packaging/it/quillo-parole.1.gz")
add_custom_target(quillo_packaging_files ALL DEPENDS ${_quillo_compressed})
install(FILES ${PROJECT_BINARY_DIR}/packaging/quillo.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_BINARY_DIR}/packaging/quillo-media-check.1.gz
              ${PROJECT_BINARY_DIR}/packaging/quillo-parole.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/packaging/it/quillo-parole.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/it/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
              ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillo)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.desktop
              ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.Parole.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The login sessions name the installed programs by their full paths, which
# are known only at install time: a package is staged under a prefix of its own.
# Each has a name of its own (quillo, quillo-x11): a display manager that
# finds one name in both folders takes whichever folder it reads first
# (LightDM xsessions/, SDDM wayland-sessions/).
foreach(_quillo_session wayland-sessions:quillo-wayland:quillo xsessions:quillo-x11:quillo-x11)
  string(REPLACE ":" ";" _quillo_session "${_quillo_session}")
  list(GET _quillo_session 0 _quillo_folder)
  list(GET _quillo_session 1 _quillo_template)
  list(GET _quillo_session 2 _quillo_session_name)
  install(CODE "
    file(READ \"${PROJECT_SOURCE_DIR}/packaging/sessions/${_quillo_template}.desktop\" _entry)
    string(REPLACE \"@QUILLO_GAME@\" \"\${CMAKE_INSTALL_PREFIX}/${QUILLO_INSTALL_GAMESDIR}/quillo\" _entry \"\${_entry}\")
    string(REPLACE \"@QUILLO_PROGRAMDIR@\" \"\${CMAKE_INSTALL_PREFIX}/${QUILLO_INSTALL_PROGRAMDIR}\" _entry \"\${_entry}\")
    set(_made \"${PROJECT_BINARY_DIR}/packaging/${_quillo_folder}/${_quillo_session_name}.desktop\")
    file(WRITE \"\${_made}\" \"\${_entry}\")
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/${_quillo_folder}\" TYPE FILE
         PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ FILES \"\${_made}\")
  ")
endforeach()

if(QUILLO_BUILD_TESTS)
  # Each exits 77 (skipped) when its validator is not installed.
  add_test(NAME validate_desktop_entry
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/validate_desktop.sh desktop
                   ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.desktop)
  add_test(NAME validate_parole_desktop_entry
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/validate_desktop.sh desktop
                   ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.Parole.desktop)
  add_test(NAME validate_metainfo
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/validate_desktop.sh metainfo
                   ${PROJECT_SOURCE_DIR}/packaging/it.quillonuvi.Quillo.metainfo.xml)
  add_test(NAME install_layout
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/validate_desktop.sh install
                   ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${CMAKE_COMMAND})
  set_tests_properties(validate_desktop_entry validate_parole_desktop_entry validate_metainfo install_layout PROPERTIES
    SKIP_RETURN_CODE 77 TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;QT_LOGGING_RULES=*.debug=false")
  # It and package_deb install from this build folder: one at a time.
  set_tests_properties(install_layout PROPERTIES RESOURCE_LOCK build_folder_install)
  # Builds the .deb from this build folder and checks it (ctest -L package).
  add_test(NAME package_deb
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package_deb.sh
                   ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${CMAKE_CPACK_COMMAND})
  set_tests_properties(package_deb PROPERTIES
    SKIP_RETURN_CODE 77 TIMEOUT 180 LABELS package RESOURCE_LOCK build_folder_install COST 100)
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
quillo-media-check command says what is wrong with a media folder.
With Le parole di Quillo (quillo-parole) a parent adds the child's
name, family photos and their own voice, without a terminal.]=])
set(CPACK_STRIP_FILES ON)
# Folders the install creates on its own get 0755 whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The file names in alfabeto/ are UTF-8: cpack packs them under C.UTF-8,
# whatever locale (or none) it was started with. And it packs no build that
# lacks the Wayland hold.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackProject.cmake)
set(CPACK_QUILLO_WAYLAND_HOLD ${QUILLO_WAYLAND_HOLD})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A Debian revision: the package's changelog is changelog.Debian.gz, whose
# first entry must carry this same version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared-library dependencies are computed by dpkg-shlibdeps and merged with
# the list below. Liberation Sans 2 gives the "Arial" the sheet is designed
# with (metric-compatible, not a DejaVu fallback): from Debian 13 on it is
# fonts-liberation itself (fonts-liberation2 is left as an empty transitional
# package), on Debian 12 it is fonts-liberation2, beside a fonts-liberation
# of version 1. qt6-wayland is the platform plugin for Wayland sessions,
# loaded at run time and so not found by dpkg-shlibdeps; qt6-translations-l10n
# holds Qt's Italian words for the dialogs of "Le parole di Quillo", also
# loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# qt6-image-formats-plugins reads WebP photos for it, also at run time.
# libheif, for HEIC and AVIF, is linked and found by dpkg-shlibdeps; from
# Debian 13 on (libheif 1.16 and later) it decodes through plugins, loaded at
# run time, which Debian 12's libheif has built in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation (>= 1:2) | fonts-liberation2, qt6-wayland, qt6-translations-l10n, qt6-image-formats-plugins, libheif-plugin-libde265 | libheif1 (<< 1.16), libheif-plugin-dav1d | libheif1 (<< 1.16)")
# For the child's login sessions: cage is the Wayland session's compositor and
# needs Xwayland to start; setxkbmap turns off the X server's own keys in the
# X session.
# pkexec asks for the administrator's password when a parent prepares the
# child's account (quillo-parole child); procps's sysctl applies SysRq's limit.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cage, xwayland, x11-xkb-utils, pkexec, procps")
set(CPACK_GENERATOR DEB)
include(CPack)
