# cmake -DORVA_CLI=... -DORVA_CAMSIM=... [-DORVA_GUI=...] -DMAN_DIR=... -DCOMPLETION=... -P check_pages.cmake
#
# Reads each program's --help (orva-cli's and each of its commands' too) and fails, naming
# every miss, when an option or a command is not in the program's manual page or, for
# orva-cli, not offered by the bash completion where it applies. Pages may say more than the
# programs (a command documented ahead of its code is harmless); the other way round is the
# fault this catches.
cmake_minimum_required(VERSION 3.25)

set(misses "")

function(help_of out)
  execute_process(COMMAND ${ARGN} --help OUTPUT_VARIABLE text ERROR_VARIABLE error RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN} --help failed (${rc}): ${error}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The long options a help text names, and -h when it offers it.
function(options_in text out)
  string(REGEX MATCHALL "--[a-z][a-z0-9-]*" found "${text}")
  if(text MATCHES "(^|[ \n])-h[ ,]")
    list(APPEND found -h)
  endif()
  list(REMOVE_DUPLICATES found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# The commands (and their aliases) under "Subcommands:" of a CLI11 help text.
function(commands_in text out)
  set(found "")
  string(FIND "${text}" "Subcommands:\n" at)
  if(at GREATER -1)
    string(SUBSTRING "${text}" ${at} -1 text)
    string(REPLACE "\n" ";" lines "${text}")
    foreach(line IN LISTS lines)
      if(line MATCHES "^  ([a-z][a-z-]*)(, ([a-z][a-z-]*))?( |$)")
        list(APPEND found ${CMAKE_MATCH_1} ${CMAKE_MATCH_3})
      endif()
    endforeach()
  endif()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# A page as plain lines: font changes, quotes and the leading request (.B, .TP ...) dropped,
# "\-" as "-".
function(page_lines page out)
  file(STRINGS ${MAN_DIR}/${page} raw)
  set(lines "")
  foreach(line IN LISTS raw)
    string(REGEX REPLACE "\\\\f[BIRP]" "" line "${line}")
    string(REPLACE "\\-" "-" line "${line}")
    string(REPLACE "\\&" "" line "${line}")
    string(REPLACE "\"" "" line "${line}")
    string(REGEX REPLACE "^\\.[A-Z]+ ?" "" line "${line}")
    list(APPEND lines "${line}")
  endforeach()
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

function(expect_options page options)
  page_lines(${page} lines)
  string(JOIN "\n" text ${lines})
  foreach(option IN LISTS options)
    if(NOT text MATCHES "(^|[^a-z0-9-])${option}([^a-z0-9-]|$)")
      list(APPEND misses "${page}: no ${option}")
    endif()
  endforeach()
  set(misses "${misses}" PARENT_SCOPE)
endfunction()

# A command is documented by a line that begins with it ("eeprom write FILE").
function(expect_command page command)
  page_lines(${page} lines)
  foreach(line IN LISTS lines)
    if(line STREQUAL command OR line MATCHES "^${command} ")
      return()
    endif()
  endforeach()
  list(APPEND misses "${page}: no command \"${command}\"")
  set(misses "${misses}" PARENT_SCOPE)
endfunction()

# What the completion offers after orva-cli WORDS: bash words, the last one being completed
# ("eeprom ''" for the word after "eeprom"). It runs `completion_program` as orva-cli, in
# `completion_folder`.
set(completion_program ${ORVA_CLI})
set(completion_folder .)
function(expect_offered what words)
  execute_process(COMMAND bash -c "source '${COMPLETION}'; COMP_WORDS=('${completion_program}' ${words}); \
COMP_CWORD=$((\${#COMP_WORDS[@]} - 1)); _orva_cli; printf '%s\\n' \"\${COMPREPLY[@]}\""
                  WORKING_DIRECTORY ${completion_folder} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the completion failed after: orva-cli ${words}")
  endif()
  string(REPLACE "\n" ";" offered "${text}")
  foreach(word IN LISTS ARGN)
    if(NOT word IN_LIST offered)
      list(APPEND misses "completion after \"orva-cli ${words}\": no ${what} ${word}")
    endif()
  endforeach()
  set(misses "${misses}" PARENT_SCOPE)
endfunction()

# orva-cli: its options and commands, each command's options and subcommands, a level deep.
help_of(top ${ORVA_CLI})
options_in("${top}" global)
commands_in("${top}" commands)
expect_options(orva-cli.1 "${global}")
expect_offered(option "-" ${global})
expect_offered(command "''" ${commands})
foreach(command IN LISTS commands)
  help_of(text ${ORVA_CLI} ${command})
  commands_in("${text}" subcommands)
  if(subcommands)
    expect_offered(subcommand "${command} ''" ${subcommands})
  else()
    set(subcommands "-")
  endif()
  foreach(sub IN LISTS subcommands)
    set(path ${command})
    if(NOT sub STREQUAL "-")
      list(APPEND path ${sub})
      help_of(text ${ORVA_CLI} ${path})
    endif()
    string(JOIN " " name ${path})
    expect_command(orva-cli.1 "${name}")
    options_in("${text}" own)
    expect_options(orva-cli.1 "${own}")
    expect_offered(option "${name} -" ${own})
  endforeach()
endforeach()

# --port offers the device column of "orva-cli ports", a file argument the folder's files: a
# stand-in orva-cli lists one port, in a folder that holds one image file.
set(completion_folder ${CMAKE_CURRENT_BINARY_DIR}/completion-check)
set(completion_program ${completion_folder}/orva-cli)
file(REMOVE_RECURSE ${completion_folder})
file(WRITE ${completion_program} "#!/bin/sh\nprintf '3\\t/dev/ttyUSB7\\tUSB serial adapter\\n'\n")
file(CHMOD ${completion_program} FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(TOUCH ${completion_folder}/cam.mem)
expect_offered(port "--port ''" /dev/ttyUSB7)
expect_offered(file "eeprom write ca" cam.mem)
expect_offered(file "preset store II 4 ca" cam.mem)
expect_offered("file or camera" "eeprom diff cam.mem ''" camera cam.mem)
file(REMOVE_RECURSE ${completion_folder})

help_of(text ${ORVA_CAMSIM})
options_in("${text}" options)
expect_options(orva-camsim.1 "${options}")

if(DEFINED ORVA_GUI)
  # Help and version answer without a display (over ssh, in a package check).
  unset(ENV{DISPLAY})
  unset(ENV{WAYLAND_DISPLAY})
  unset(ENV{QT_QPA_PLATFORM})
  help_of(text ${ORVA_GUI})
  execute_process(COMMAND ${ORVA_GUI} --version OUTPUT_VARIABLE version RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT version MATCHES "^orva [0-9]+\\.[0-9]+\\.[0-9]+\n$")
    list(APPEND misses "orva --version printed \"${version}\" (${rc})")
  endif()
  options_in("${text}" options)
  # The Windows-style start switches: /F, /FS, /DS.
  string(REGEX MATCHALL "/[A-Z]+" switches "${text}")
  list(REMOVE_DUPLICATES switches)
  expect_options(orva.1 "${options};${switches}")
endif()

if(misses)
  string(JOIN "\n  " list ${misses})
  message(FATAL_ERROR "the manual pages or the completion miss what the programs offer:\n  ${list}")
endif()
message(STATUS "manual pages and completion offer every option and command of the programs")
