file(REMOVE_RECURSE
  "CMakeFiles/quillo-parole_autogen"
  "quillo-parole_autogen/mocs_compilation.cpp"
)

# Per-language clean rules from dependency scanning.
foreach(lang )
  include(CMakeFiles/quillo-parole_autogen.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
