# One place for the warning set: every ORVA target links orva_warnings.
#
# GCC 12 at -O2 reports -Wrestrict inside std::string's own copy (its bug 105651): a string
# assigned or joined from a short piece "may overlap up to 9223372036854775813 bytes", which
# cannot happen. The fault is the compiler's and the shape is every string operation it
# happens to inline, so that one warning is off for GCC 12 alone; other compilers keep it.
set(orva_compiler_quirks "")
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  set(orva_compiler_quirks -Wno-restrict)
endif()

add_library(orva_warnings INTERFACE)
target_compile_options(orva_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wconversion -Wshadow
  ${orva_compiler_quirks}
  $<$<BOOL:${ORVA_WARNINGS_AS_ERRORS}>:-Werror>)
