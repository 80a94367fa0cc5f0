# On Wayland the program asks the compositor to keep its shortcuts away
# (keyboard-shortcuts-inhibit). That needs Qt's Wayland client module, Qt's
# private GUI headers (for the window's wl_surface), the two Wayland scanners
# and the protocol file from wayland-protocols.
#
# Without the hold a child's Alt+Tab and Super reach the desktop, so it is
# never left out in silence: with QUILLO_WAYLAND_HOLD on (the default) a
# missing piece stops the configure step and names the packages to install;
# only turning the option off builds without it, and `quillo --version` then
# says so.

set(QUILLO_WAYLAND_INHIBIT OFF CACHE INTERNAL "Quillo holds off Wayland shortcuts")
if(NOT QUILLO_WAYLAND_HOLD)
  message(WARNING "Wayland: built WITHOUT holding off the compositor's shortcuts (QUILLO_WAYLAND_HOLD=OFF): "
                  "on a Wayland desktop the child's Alt+Tab and Super keys reach the desktop")
  return()
endif()

find_package(Qt6 6.4 QUIET COMPONENTS WaylandClient)
# Qt 6.9 and later ship each private module as a package of its own, found by
# name; before that Qt6::GuiPrivate comes with Qt6Gui.
if(Qt6Gui_VERSION VERSION_GREATER_EQUAL 6.9)
  find_package(Qt6 QUIET COMPONENTS GuiPrivate)
endif()
find_file(QUILLO_SHORTCUTS_INHIBIT_XML keyboard-shortcuts-inhibit-unstable-v1.xml
  PATHS /usr/share/wayland-protocols /usr/local/share/wayland-protocols
  PATH_SUFFIXES unstable/keyboard-shortcuts-inhibit
  NO_DEFAULT_PATH)

# The private headers are asked of the compiler through the target itself, with
# whatever include folders and dependencies this Qt gives it: a Qt6::GuiPrivate
# whose headers are not installed (qt6-base-private-dev) fails here.
# A failed check is made again on the next configure, after an install.
if(NOT QUILLO_HAVE_QT_GUI_PRIVATE)
  unset(QUILLO_HAVE_QT_GUI_PRIVATE CACHE)
endif()
if(TARGET Qt6::GuiPrivate)
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_LIBRARIES Qt6::GuiPrivate)
  set(CMAKE_REQUIRED_QUIET ON)
  check_cxx_source_compiles([=[
    #include <QGuiApplication>
    #include <qpa/qplatformnativeinterface.h>
    int main() { return QGuiApplication::platformNativeInterface() != nullptr; }
  ]=] QUILLO_HAVE_QT_GUI_PRIVATE)
  unset(CMAKE_REQUIRED_LIBRARIES)
  unset(CMAKE_REQUIRED_QUIET)
endif()

set(missing "")
if(NOT Qt6WaylandClient_FOUND)
  list(APPEND missing "Qt's Wayland client module (qt6-wayland-dev)")
endif()
if(NOT QUILLO_HAVE_QT_GUI_PRIVATE)
  list(APPEND missing "Qt's private GUI headers (qt6-base-private-dev)")
endif()
if(NOT TARGET Qt6::qtwaylandscanner)
  list(APPEND missing "qtwaylandscanner (qt6-wayland-dev-tools)")
endif()
if(NOT TARGET Wayland::Scanner)
  list(APPEND missing "wayland-scanner (libwayland-dev)")
endif()
if(NOT QUILLO_SHORTCUTS_INHIBIT_XML)
  list(APPEND missing "keyboard-shortcuts-inhibit-unstable-v1.xml (wayland-protocols)")
endif()
if(missing)
  list(JOIN missing ", " missing)
  message(FATAL_ERROR
    "The Wayland hold (Quillo keeping the compositor's shortcuts away from the child) cannot be built: "
    "missing ${missing}.\n"
    "On Debian: apt install qt6-wayland-dev qt6-wayland-dev-tools qt6-base-private-dev wayland-protocols libwayland-dev\n"
    "To build without the hold, knowing that on Wayland Alt+Tab and Super then reach the desktop, "
    "configure with -DQUILLO_WAYLAND_HOLD=OFF.")
endif()

set(QUILLO_WAYLAND_INHIBIT ON CACHE INTERNAL "Quillo holds off Wayland shortcuts")
enable_language(C)  # the protocol's marshalling tables are C
target_sources(quillo_desktop PRIVATE shortcuts_inhibitor.cpp)
qt6_generate_wayland_protocol_client_sources(quillo_desktop FILES ${QUILLO_SHORTCUTS_INHIBIT_XML})
target_link_libraries(quillo_desktop PRIVATE Qt6::WaylandClient Qt6::GuiPrivate Wayland::Client)
target_compile_definitions(quillo_desktop PRIVATE QUILLO_WAYLAND)
message(STATUS "Wayland: the compositor's shortcuts are held off while Quillo is in front")
