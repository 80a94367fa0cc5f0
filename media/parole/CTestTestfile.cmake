# CMake generated Testfile for 
# Source directory: /work/main/parole
# Build directory: /work/main/build/parole
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
