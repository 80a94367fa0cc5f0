# Empty dependencies file for quillo-parole.
# This may be replaced when dependencies are built.
