# Empty custom commands generated dependencies file for quillo_parole_autogen.
# This may be replaced when dependencies are built.
