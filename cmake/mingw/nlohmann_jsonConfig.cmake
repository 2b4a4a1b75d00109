# nlohmann/json is header-only. As with CLI11, the host's /usr/include must not become an include
# folder of the cross build, so a folder of our own holds just a link to its headers.
set(MOLVANE_JSON_HEADERS "/usr/include/nlohmann" CACHE PATH "nlohmann/json header folder for the cross build")

if(NOT TARGET nlohmann_json::nlohmann_json)
  set(_json_root ${CMAKE_BINARY_DIR}/json-include)
  file(MAKE_DIRECTORY ${_json_root})
  if(NOT EXISTS ${_json_root}/nlohmann)
    file(CREATE_LINK ${MOLVANE_JSON_HEADERS} ${_json_root}/nlohmann SYMBOLIC)
  endif()
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_json_root})
endif()
set(nlohmann_json_FOUND TRUE)
