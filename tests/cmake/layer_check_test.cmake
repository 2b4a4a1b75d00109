cmake_minimum_required(VERSION 3.25)
# The layer check (cmake/check_layers.cmake) run on small made-up source trees, one per case:
# each tree holds base, app and pages, where app may use base but not pages, and one file of the
# case's own. Called with -DCHECK=<check_layers.cmake> -DWORK_DIR=<scratch folder>.
set(_rules "base:base|app:app,base|pages:pages,app,base")
set(_failed "")

# _case(NAME FILE TEXT EXPECTED): EXPECTED is a text the check's failure must hold, or "" when
# the tree must pass.
function(_case name file text expected)
  string(MAKE_C_IDENTIFIER "${name}" _id)
  set(_src "${WORK_DIR}/${_id}/src")
  file(REMOVE_RECURSE "${WORK_DIR}/${_id}")
  file(WRITE "${_src}/base/text.h" "#pragma once\n")
  file(WRITE "${_src}/pages/page.h" "#pragma once\n")
  file(WRITE "${_src}/${file}" "${text}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${_src} "-DRULES=${_rules}" -P ${CHECK}
                  RESULT_VARIABLE _code OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
  if(expected STREQUAL "" AND NOT _code EQUAL 0)
    set(_why "refused:\n${_out}")
  elseif(NOT expected STREQUAL "" AND _code EQUAL 0)
    set(_why "passed")
  elseif(NOT expected STREQUAL "")
    string(FIND "${_out}" "${expected}" _at)
    if(_at LESS 0)
      set(_why "failed without '${expected}':\n${_out}")
    endif()
  endif()
  if(DEFINED _why)
    set(_failed "${_failed}\n${name}: ${_why}" PARENT_SCOPE)
  endif()
endfunction()

_case("up a folder into the pages" app/x.cpp [[#include "../pages/page.h"]]
      [[app/x.cpp: app may not use pages (#include "../pages/page.h")]])
_case("angled" app/x.cpp [[#include <pages/page.h>]]
      [[app/x.cpp: app may not use pages (#include <pages/page.h>)]])
_case("blanks around the hash" app/x.cpp "  #  include \"pages/page.h\""
      [[app/x.cpp: app may not use pages (#  include "pages/page.h")]])
_case("a header in a subfolder" app/sub/x.h [[#include "pages/page.h"]]
      [[app/sub/x.h: app may not use pages]])
_case("a folder without a rule" tools/x.cpp [[int x;]] [[tools/x.cpp: in no folder]])
_case("a message box called" app/x.cpp [[void F() { MessageBox(); }]]
      [[app/x.cpp: shows something to the operator below the pages (MessageBox)]])

_case("allowed: from the root, relative, bare, system" app/x.cpp
      "#include \"base/text.h\"\n#include \"../base/text.h\"\n#include \"x.h\"\n#include <vector>" "")
_case("a message box in comments" app/x.cpp
      "// no MessageBox: the page shows it\n/* nor a\n   WaitCursor */ int x;" "")
_case("a message box in a string" app/x.cpp [[const char* k = "MessageBox\"//";  // "]] "")
_case("includes commented out" app/x.cpp
      "// #include \"pages/page.h\"\n/*\n#include \"pages/page.h\"\n*/\nint y = 1'000; /* */ int z;"
      "")
_case("an include inside a raw string" app/x.cpp "auto k = R\"(\n#include \"pages/page.h\"\n)\";" "")

if(_failed)
  message(FATAL_ERROR "The layer check judged wrongly:${_failed}")
endif()
