# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE).
#
# The archive library cpack uses converts file names through the locale's
# character set: with no locale (a bare Debian starts with none) or LANG=C it
# cannot store a name such as alfabeto/à.wav and fails with "Can't lstat".
# C.UTF-8 is always present on Debian.
set(ENV{LC_ALL} C.UTF-8)
