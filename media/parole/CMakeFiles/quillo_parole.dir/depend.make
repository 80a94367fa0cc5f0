# Empty dependencies file for quillo_parole.
# This may be replaced when dependencies are built.
