file(REMOVE_RECURSE
  "libquillo_parole.a"
)
