# One place for the warning set: every ORVA target links orva_warnings.
#
# GCC 12 at -O2 reports -Wrestrict inside std::string's own copy (its bug 105651): a string
# assigned or joined from a short piece "may overlap up to 9223372036854775813 bytes", which
# cannot happen. The fault is the compiler's and the shape is every string operation it
# happens to inline, so that one warning is off for GCC 12 alone; other compilers keep it.
add_library(orva_warnings INTERFACE)
set(orva_gcc12 "$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_GREATER_EQUAL:$<CXX_COMPILER_VERSION>,12>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>")
target_compile_options(orva_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wconversion -Wshadow
  $<${orva_gcc12}:-Wno-restrict>
  $<$<BOOL:${ORVA_WARNINGS_AS_ERRORS}>:-Werror>)
