# Loaded right after project() (CMAKE_PROJECT_INCLUDE) by the Wayland hold's
# configure test: Qt's private GUI headers are out of sight, as on a system
# without qt6-base-private-dev. Qt 6.9 and later find the private module as a
# package of its own, which is not found; before, Qt6::GuiPrivate comes with
# Qt6Gui and is left without its include folders.
set(CMAKE_DISABLE_FIND_PACKAGE_Qt6GuiPrivate TRUE)
find_package(Qt6 REQUIRED COMPONENTS Gui)
if(TARGET Qt6::GuiPrivate)
  set_property(TARGET Qt6::GuiPrivate PROPERTY INTERFACE_INCLUDE_DIRECTORIES "")
endif()
