# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE).
#
# The archive library cpack uses converts file names through the locale's
# character set: with no locale (a bare Debian starts with none) or LANG=C it
# cannot store a name such as alfabeto/à.wav and fails with "Can't lstat".
# C.UTF-8 is always present on Debian.
set(ENV{LC_ALL} C.UTF-8)

# A package goes to machines where a child may sit at a Wayland desktop: one
# built without the hold on the compositor's shortcuts is not made.
if(NOT CPACK_QUILLO_WAYLAND_HOLD)
  message(FATAL_ERROR "This build has no Wayland hold (QUILLO_WAYLAND_HOLD=OFF): configure it with "
                      "-DQUILLO_WAYLAND_HOLD=ON to make the package")
endif()
