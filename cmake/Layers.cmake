# orva_layer(NAME SOURCES ... DEPENDS ...)
# Each layer of src/ is one static library in namespace orva::NAME; it links only the layers
# below it, so an include across the layer order fails to link. A layer that has no sources
# yet is an interface library with the same name and dependencies.
function(orva_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;DEPENDS" ${ARGN})
  set(target orva_${name})
  if(L_SOURCES)
    add_library(${target} STATIC ${L_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${L_DEPENDS} PRIVATE orva_warnings)
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${L_DEPENDS})
  endif()
  add_library(orva::${name} ALIAS ${target})
endfunction()
