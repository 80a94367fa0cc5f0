# Empty custom commands generated dependencies file for quillo-parole_autogen.
# This may be replaced when dependencies are built.
