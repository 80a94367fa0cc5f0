file(REMOVE_RECURSE
  "CMakeFiles/quillo_parole_autogen"
  "quillo_parole_autogen/mocs_compilation.cpp"
)

# Per-language clean rules from dependency scanning.
foreach(lang )
  include(CMakeFiles/quillo_parole_autogen.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
