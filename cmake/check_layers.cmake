cmake_minimum_required(VERSION 3.25)
# Run at build time (cmake -P): every include of every source under SOURCE_DIR must reach a
# folder that the including file's folder may use, and nothing below the pages may show
# anything to the operator. Called with
#   -DSOURCE_DIR=<src> -DRULES=<folder:allowed,allowed|...> [-DSTAMP=<file written on success>]
# A file belongs to the top folder it lies in (src/app/sub/x.h is app's). Every include form
# counts: "#include", "# include", quoted or angled, and a quoted path is looked for beside the
# including file first, as the compiler does, so "../pages/x.h" names pages. Comments and string
# literals are not code: what they say is never taken for an include or a call.
set(_silent_folders base link app cart loader backup fleet title title_qt)
set(_shows_the_operator "UiServices|MessageBox|WaitCursor")

# The text is cut into tokens with one regular expression, and CMake keeps a list as text
# separated by ";" in which "[", "]" and "\" have meanings of their own; the four stand in for
# themselves as control characters until the code is read.
string(ASCII 1 _backslash)
string(ASCII 2 _semicolon)
string(ASCII 3 _open_bracket)
string(ASCII 4 _close_bracket)
set(_b "${_backslash}")
# Tokens: comments, raw strings (without a delimiter), strings, character literals, and code,
# where a number keeps its digit separators (1'000) so they do not open a character literal. The
# block comment's form makes the regex engine recurse once per run of stars, not per character.
set(_token_regex
    "//[^\n]*"
    "/\\*[^*]*\\*+([^/*][^*]*\\*+)*/"
    "R\"\\([^)]*\\)+([^)\"][^)]*\\)+)*\""
    "\"[^\"${_b}\n]*(${_b}.[^\"${_b}\n]*)*\""
    "'[^'${_b}\n]*(${_b}.[^'${_b}\n]*)*'"
    "[^\"'/R0-9A-Za-z_]+"
    "[A-QS-Za-z_][A-Za-z_0-9]*"
    "R[A-Za-z_0-9]*"
    "[0-9]('?[0-9A-Za-z_.])*"
    ".")
list(JOIN _token_regex "|" _token_regex)

# The file's code with each comment made one blank (as the compiler does) and its raw strings
# emptied, and the same code with every string and character literal emptied.
function(_read_code file code_out bare_out)
  file(READ "${file}" _text)
  string(REPLACE "\\" "${_backslash}" _text "${_text}")
  string(REPLACE ";" "${_semicolon}" _text "${_text}")
  string(REPLACE "[" "${_open_bracket}" _text "${_text}")
  string(REPLACE "]" "${_close_bracket}" _text "${_text}")
  string(REGEX MATCHALL "${_token_regex}" _tokens "${_text}")
  list(TRANSFORM _tokens REPLACE "^/[/*].*" " ")
  # A raw string may hold whole lines; no header name is one.
  list(TRANSFORM _tokens REPLACE "^R\".*" "\"\"")
  list(JOIN _tokens "" _code)
  list(TRANSFORM _tokens REPLACE "^R?[\"'].*" "\"\"")
  list(JOIN _tokens "" _bare)
  set(${code_out} "${_code}" PARENT_SCOPE)
  set(${bare_out} "${_bare}" PARENT_SCOPE)
endfunction()

# The folder under SOURCE_DIR that `path` lies in, "." for SOURCE_DIR itself, or "" outside it.
function(_folder_of path result)
  cmake_path(IS_PREFIX SOURCE_DIR "${path}" NORMALIZE _inside)
  if(NOT _inside)
    set(${result} "" PARENT_SCOPE)
    return()
  endif()
  file(RELATIVE_PATH _relative "${SOURCE_DIR}" "${path}")
  if(_relative MATCHES "^([^/]+)/")
    set(${result} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${result} "." PARENT_SCOPE)
  endif()
endfunction()

# The folder an include reaches: a folder name, "" when it is none of ours (a system or Qt
# header), or "!" and why it may not be followed.
function(_included_folder directory delimiter path result)
  set(_target "")
  if(IS_ABSOLUTE "${path}")
    set(_target "${path}")
  elseif(delimiter STREQUAL "\"" AND
         (path MATCHES "(^|/)\\.\\.?(/|$)" OR EXISTS "${directory}/${path}"))
    cmake_path(ABSOLUTE_PATH path BASE_DIRECTORY "${directory}" NORMALIZE OUTPUT_VARIABLE _target)
  endif()
  if(_target)
    _folder_of("${_target}" _folder)
    if(_folder STREQUAL "" AND NOT IS_ABSOLUTE "${path}")
      set(_folder "!climbs out of the source folders")
    elseif(_folder STREQUAL ".")
      set(_folder "!reaches a file outside every folder")
    endif()
    set(${result} "${_folder}" PARENT_SCOPE)
    return()
  endif()
  # From an include root, which holds one link per folder.
  cmake_path(NORMAL_PATH path OUTPUT_VARIABLE _path)
  string(REGEX MATCH "^[^/]+/" _first "${_path}")
  string(REGEX REPLACE "/$" "" _first "${_first}")
  if(_path MATCHES "^\\.\\.(/|$)")
    set(${result} "!climbs out of its include root" PARENT_SCOPE)
  elseif(_first AND (_first IN_LIST _layers OR IS_DIRECTORY "${SOURCE_DIR}/${_first}"))
    set(${result} "${_first}" PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()

set(_failures "")
set(_layers "")
string(REPLACE "|" ";" RULES "${RULES}")
foreach(_rule IN LISTS RULES)
  string(REPLACE ":" ";" _parts "${_rule}")
  list(GET _parts 0 _folder)
  list(GET _parts 1 _allowed)
  string(REPLACE "," ";" _allowed_${_folder} "${_allowed}")
  list(APPEND _layers ${_folder})
endforeach()

set(_include_regex
    "\n[ \t]*#[ \t]*(include|include_next|import)[ \t]*(\"[^\"\n]*\"|<[^>\n]*>)")
file(GLOB_RECURSE _files LIST_DIRECTORIES false
     "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.cc" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.hpp")
list(SORT _files)
foreach(_file IN LISTS _files)
  file(RELATIVE_PATH _shown "${SOURCE_DIR}" "${_file}")
  _folder_of("${_file}" _folder)
  if(NOT _folder IN_LIST _layers)
    list(APPEND _failures "${_shown}: in no folder with a layer rule")
    continue()
  endif()
  get_filename_component(_directory "${_file}" DIRECTORY)
  _read_code("${_file}" _code _bare)
  string(REGEX MATCHALL "${_include_regex}" _includes "\n${_code}")
  foreach(_line IN LISTS _includes)
    string(STRIP "${_line}" _line)
    string(REGEX MATCH "[\"<]([^\">]*)[\">]$" _name "${_line}")
    string(SUBSTRING "${_name}" 0 1 _delimiter)
    _included_folder("${_directory}" "${_delimiter}" "${CMAKE_MATCH_1}" _used)
    if(_used MATCHES "^!(.*)")
      list(APPEND _failures "${_shown}: ${CMAKE_MATCH_1} (${_line})")
    elseif(_used AND NOT _used IN_LIST _allowed_${_folder})
      list(APPEND _failures "${_shown}: ${_folder} may not use ${_used} (${_line})")
    endif()
  endforeach()
  if(_folder IN_LIST _silent_folders AND _bare MATCHES "${_shows_the_operator}")
    list(APPEND _failures
         "${_shown}: shows something to the operator below the pages (${CMAKE_MATCH_0})")
  endif()
endforeach()

if(_failures)
  list(JOIN _failures "\n  " _text)
  message(FATAL_ERROR "Layering broken:\n  ${_text}")
endif()
if(STAMP)
  file(WRITE "${STAMP}" "ok\n")
endif()
