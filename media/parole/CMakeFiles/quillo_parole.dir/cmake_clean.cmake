file(REMOVE_RECURSE
  "CMakeFiles/quillo_parole_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/quillo_parole_autogen.dir/ParseCache.txt"
  "quillo_parole_autogen"
  "CMakeFiles/quillo_parole.dir/atomic_file.cpp.o"
  "CMakeFiles/quillo_parole.dir/atomic_file.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/command_line.cpp.o"
  "CMakeFiles/quillo_parole.dir/command_line.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/parole_window.cpp.o"
  "CMakeFiles/quillo_parole.dir/parole_window.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/photo_import.cpp.o"
  "CMakeFiles/quillo_parole.dir/photo_import.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/quillo_parole_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/quillo_parole.dir/quillo_parole_autogen/mocs_compilation.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/recording.cpp.o"
  "CMakeFiles/quillo_parole.dir/recording.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/sound_levels.cpp.o"
  "CMakeFiles/quillo_parole.dir/sound_levels.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/wav_file.cpp.o"
  "CMakeFiles/quillo_parole.dir/wav_file.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/word_library.cpp.o"
  "CMakeFiles/quillo_parole.dir/word_library.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/word_list_model.cpp.o"
  "CMakeFiles/quillo_parole.dir/word_list_model.cpp.o.d"
  "CMakeFiles/quillo_parole.dir/word_name.cpp.o"
  "CMakeFiles/quillo_parole.dir/word_name.cpp.o.d"
  "libquillo_parole.a"
  "libquillo_parole.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/quillo_parole.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
