# A program's manual page and its --help must not contradict each other:
# every command and every --option that --help lists is an entry of the page,
# and every command the page documents is one that --help lists.
#   cmake -DPROGRAM=program -DPAGE=manual-page.1 -P manual_page_test.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE usage RESULT_VARIABLE status TIMEOUT 20)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help ended with ${status}")
endif()
get_filename_component(name "${PROGRAM}" NAME)

# The page as text: roff's escaped hyphens and font changes taken out.
file(READ "${PAGE}" page)
string(REPLACE "\\-" "-" page "${page}")
string(REGEX REPLACE "\\\\f[BIRP]" "" page "${page}")

# Commands: usage lines indented by two spaces, "  NAME ..." or "  PROGRAM NAME ...".
# Brackets and semicolons would confuse CMake's lists.
string(REGEX REPLACE "[][;]" " " usage_text "${usage}")
string(REPLACE "\n" ";" usage_lines "${usage_text}")
set(usage_commands "")
foreach(line IN LISTS usage_lines)
  string(REGEX REPLACE "^  ${name} " "  " line "${line}")
  if(line MATCHES "^  ([a-z][a-z-]*)( |$)")
    list(APPEND usage_commands "${CMAKE_MATCH_1}")
  endif()
endforeach()

# Options: every --word anywhere in the usage.
string(REGEX MATCHALL "--[a-z][a-z-]*" usage_options "${usage}")
list(REMOVE_DUPLICATES usage_options)
if(NOT usage_options)
  message(FATAL_ERROR "no option found in the usage of ${name}:\n${usage}")
endif()

# The page's commands: the entries of its COMMANDS section.
set(page_commands "")
string(FIND "${page}" "\n.SH COMMANDS\n" start)
if(start GREATER -1)
  string(SUBSTRING "${page}" ${start} -1 section)
  string(SUBSTRING "${section}" 1 -1 rest)
  string(FIND "${rest}" "\n.SH " end)
  string(SUBSTRING "${section}" 0 ${end} section)
  string(REGEX MATCHALL "\n\\.TP\n\\.B[IR]? [a-z][a-z-]*" entries "${section}")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE ".* " "" command "${entry}")
    list(APPEND page_commands "${command}")
  endforeach()
endif()

set(problems "")
foreach(word IN LISTS usage_commands usage_options)
  if(NOT page MATCHES "\n\\.TP\n\\.B[IR]? [^\n]*${word}( |\"|\n)")
    string(APPEND problems "  ${word}: in --help, not an entry of the page\n")
  endif()
endforeach()
foreach(command IN LISTS page_commands)
  if(NOT command IN_LIST usage_commands)
    string(APPEND problems "  ${command}: documented, not in --help\n")
  endif()
endforeach()
if(problems)
  message(FATAL_ERROR "${PAGE} and ${name} --help disagree:\n${problems}")
endif()
list(LENGTH usage_commands commands)
list(LENGTH usage_options options)
message(STATUS "${name}: ${commands} commands and ${options} options of --help documented")
