# On Wayland the program asks the compositor to keep its shortcuts away
# (keyboard-shortcuts-inhibit). That needs Qt's Wayland client module, Qt's
# private GUI headers (for the window's wl_surface) and the protocol file from
# wayland-protocols; without them Quillo builds and runs as before on Wayland,
# only with the desktop's shortcuts live.
find_package(Qt6 6.4 QUIET COMPONENTS WaylandClient)
# Qt6::GuiPrivate is always defined; its headers come with qt6-base-private-dev.
set(QUILLO_QPA_HEADER QUILLO_QPA_HEADER-NOTFOUND)
if(TARGET Qt6::GuiPrivate)
  get_target_property(gui_private_includes Qt6::GuiPrivate INTERFACE_INCLUDE_DIRECTORIES)
  find_file(QUILLO_QPA_HEADER qpa/qplatformnativeinterface.h PATHS ${gui_private_includes} NO_DEFAULT_PATH)
endif()
find_file(QUILLO_SHORTCUTS_INHIBIT_XML keyboard-shortcuts-inhibit-unstable-v1.xml
  PATHS /usr/share/wayland-protocols /usr/local/share/wayland-protocols
  PATH_SUFFIXES unstable/keyboard-shortcuts-inhibit
  NO_DEFAULT_PATH)

if(Qt6WaylandClient_FOUND AND QUILLO_QPA_HEADER AND TARGET Wayland::Scanner
   AND TARGET Qt6::qtwaylandscanner AND QUILLO_SHORTCUTS_INHIBIT_XML)
  set(QUILLO_WAYLAND_INHIBIT ON CACHE INTERNAL "Quillo holds off Wayland shortcuts")
  enable_language(C)  # the protocol's marshalling tables are C
  target_sources(quillo_desktop PRIVATE shortcuts_inhibitor.cpp)
  qt6_generate_wayland_protocol_client_sources(quillo_desktop FILES ${QUILLO_SHORTCUTS_INHIBIT_XML})
  target_link_libraries(quillo_desktop PRIVATE Qt6::WaylandClient Qt6::GuiPrivate Wayland::Client)
  target_compile_definitions(quillo_desktop PRIVATE QUILLO_WAYLAND)
  message(STATUS "Wayland: the compositor's shortcuts are held off while Quillo is in front")
else()
  set(QUILLO_WAYLAND_INHIBIT OFF CACHE INTERNAL "Quillo holds off Wayland shortcuts")
  set(missing "")
  if(NOT Qt6WaylandClient_FOUND)
    list(APPEND missing Qt6WaylandClient)
  endif()
  if(NOT QUILLO_QPA_HEADER)
    list(APPEND missing "Qt's private GUI headers")
  endif()
  if(NOT TARGET Qt6::qtwaylandscanner OR NOT TARGET Wayland::Scanner)
    list(APPEND missing "the Wayland scanners")
  endif()
  if(NOT QUILLO_SHORTCUTS_INHIBIT_XML)
    list(APPEND missing "keyboard-shortcuts-inhibit-unstable-v1.xml")
  endif()
  list(JOIN missing ", " missing)
  message(STATUS "Wayland: built without holding off the compositor's shortcuts (missing: ${missing}; "
                 "install qt6-wayland-dev qt6-wayland-dev-tools qt6-base-private-dev wayland-protocols libwayland-dev)")
endif()
