
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/parole/main.cpp" "parole/CMakeFiles/quillo-parole.dir/main.cpp.o" "gcc" "parole/CMakeFiles/quillo-parole.dir/main.cpp.o.d"
  "/work/main/build/parole/quillo-parole_autogen/mocs_compilation.cpp" "parole/CMakeFiles/quillo-parole.dir/quillo-parole_autogen/mocs_compilation.cpp.o" "gcc" "parole/CMakeFiles/quillo-parole.dir/quillo-parole_autogen/mocs_compilation.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/parole/CMakeFiles/quillo_parole.dir/DependInfo.cmake"
  "/work/main/build/CMakeFiles/quillo_core.dir/DependInfo.cmake"
  "/work/main/build/platform/CMakeFiles/quillo_platform.dir/DependInfo.cmake"
  "/work/main/build/platform/sound/CMakeFiles/quillo_sound.dir/DependInfo.cmake"
  "/work/main/build/platform/files/CMakeFiles/quillo_files.dir/DependInfo.cmake"
  "/work/main/build/platform/desktop/CMakeFiles/quillo_desktop.dir/DependInfo.cmake"
  "/work/main/build/platform/base/CMakeFiles/quillo_base.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
