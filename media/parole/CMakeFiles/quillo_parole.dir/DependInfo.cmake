
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/parole/atomic_file.cpp" "parole/CMakeFiles/quillo_parole.dir/atomic_file.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/atomic_file.cpp.o.d"
  "/work/main/parole/command_line.cpp" "parole/CMakeFiles/quillo_parole.dir/command_line.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/command_line.cpp.o.d"
  "/work/main/parole/parole_window.cpp" "parole/CMakeFiles/quillo_parole.dir/parole_window.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/parole_window.cpp.o.d"
  "/work/main/parole/photo_import.cpp" "parole/CMakeFiles/quillo_parole.dir/photo_import.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/photo_import.cpp.o.d"
  "/work/main/build/parole/quillo_parole_autogen/mocs_compilation.cpp" "parole/CMakeFiles/quillo_parole.dir/quillo_parole_autogen/mocs_compilation.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/quillo_parole_autogen/mocs_compilation.cpp.o.d"
  "/work/main/parole/recording.cpp" "parole/CMakeFiles/quillo_parole.dir/recording.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/recording.cpp.o.d"
  "/work/main/parole/sound_levels.cpp" "parole/CMakeFiles/quillo_parole.dir/sound_levels.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/sound_levels.cpp.o.d"
  "/work/main/parole/wav_file.cpp" "parole/CMakeFiles/quillo_parole.dir/wav_file.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/wav_file.cpp.o.d"
  "/work/main/parole/word_library.cpp" "parole/CMakeFiles/quillo_parole.dir/word_library.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/word_library.cpp.o.d"
  "/work/main/parole/word_list_model.cpp" "parole/CMakeFiles/quillo_parole.dir/word_list_model.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/word_list_model.cpp.o.d"
  "/work/main/parole/word_name.cpp" "parole/CMakeFiles/quillo_parole.dir/word_name.cpp.o" "gcc" "parole/CMakeFiles/quillo_parole.dir/word_name.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/CMakeFiles/quillo_core.dir/DependInfo.cmake"
  "/work/main/build/platform/CMakeFiles/quillo_platform.dir/DependInfo.cmake"
  "/work/main/build/platform/sound/CMakeFiles/quillo_sound.dir/DependInfo.cmake"
  "/work/main/build/platform/files/CMakeFiles/quillo_files.dir/DependInfo.cmake"
  "/work/main/build/platform/desktop/CMakeFiles/quillo_desktop.dir/DependInfo.cmake"
  "/work/main/build/platform/base/CMakeFiles/quillo_base.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
