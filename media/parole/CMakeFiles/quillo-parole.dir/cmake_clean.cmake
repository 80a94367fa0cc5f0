file(REMOVE_RECURSE
  "../quillo-parole"
  "../quillo-parole.pdb"
  "CMakeFiles/quillo-parole_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/quillo-parole_autogen.dir/ParseCache.txt"
  "quillo-parole_autogen"
  "CMakeFiles/quillo-parole.dir/main.cpp.o"
  "CMakeFiles/quillo-parole.dir/main.cpp.o.d"
  "CMakeFiles/quillo-parole.dir/quillo-parole_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/quillo-parole.dir/quillo-parole_autogen/mocs_compilation.cpp.o.d"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/quillo-parole.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
