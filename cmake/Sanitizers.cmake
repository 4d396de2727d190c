# Sanitizers apply to the whole build so that libraries and tests agree on the runtime.
if(ORVA_SANITIZE)
  string(REPLACE ";" "," _orva_san "${ORVA_SANITIZE}")
  add_compile_options(-fsanitize=${_orva_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_orva_san})
endif()
