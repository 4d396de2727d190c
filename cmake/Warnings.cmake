# One place for the warning set: every ORVA target links orva_warnings.
add_library(orva_warnings INTERFACE)
target_compile_options(orva_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wconversion -Wshadow
  $<$<BOOL:${ORVA_WARNINGS_AS_ERRORS}>:-Werror>)
