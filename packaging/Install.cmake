# What an installation holds besides the programs and the desktop entry: manual pages, bash
# completion, AppStream metainfo, the factory image folder and the Debian documents (copyright,
# changelog). Manual pages and changelog go in gzipped, as Debian wants them; gzip -n leaves
# time stamps out, so one source gives the same files every time.
find_program(ORVA_GZIP gzip REQUIRED)
set(ORVA_PACKAGE_MAINTAINER "ORVA maintainers <maintainers@orva.example.org>"
    CACHE STRING "Maintainer of the Debian package and its changelog")

set(orva_doc_build ${PROJECT_BINARY_DIR}/packaging)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${orva_doc_build}/changelog @ONLY)

set(orva_gzipped "")
foreach(source IN ITEMS docs/man/orva.1 docs/man/orva-cli.1 docs/man/orva-camsim.1 changelog)
  get_filename_component(name ${source} NAME)
  if(source STREQUAL "changelog")
    set(input ${orva_doc_build}/changelog)
  else()
    set(input ${PROJECT_SOURCE_DIR}/${source})
  endif()
  set(output ${orva_doc_build}/gz/${name})
  add_custom_command(OUTPUT ${output}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${input} ${output}
                     COMMAND ${ORVA_GZIP} -9nf ${output}
                     DEPENDS ${input} VERBATIM)
  list(APPEND orva_gzipped ${output}.gz)
endforeach()
add_custom_target(orva_docs ALL DEPENDS ${orva_gzipped})

set(gz ${orva_doc_build}/gz)
install(FILES ${gz}/orva.1.gz ${gz}/orva-cli.1.gz ${gz}/orva-camsim.1.gz DESTINATION share/man/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${gz}/changelog.gz DESTINATION share/doc/orva)
install(FILES ${PROJECT_SOURCE_DIR}/data/orva-cli.bash-completion
        DESTINATION share/bash-completion/completions RENAME orva-cli)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.orva.orva.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/eeprom-README DESTINATION share/orva/eeprom RENAME README)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION share/lintian/overrides RENAME orva)
