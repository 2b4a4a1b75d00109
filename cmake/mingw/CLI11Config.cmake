# CLI11 is header-only. Its headers sit in the host's /usr/include, which must not become an
# include folder of the cross build (the host C library's headers would shadow MinGW's), so a
# folder of our own holds just a link to them.
set(MOLVANE_CLI11_HEADERS "/usr/include/CLI" CACHE PATH "CLI11 header folder for the cross build")

if(NOT TARGET CLI11::CLI11)
  set(_cli11_root ${CMAKE_BINARY_DIR}/cli11-include)
  file(MAKE_DIRECTORY ${_cli11_root})
  if(NOT EXISTS ${_cli11_root}/CLI)
    file(CREATE_LINK ${MOLVANE_CLI11_HEADERS} ${_cli11_root}/CLI SYMBOLIC)
  endif()
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_cli11_root})
endif()
set(CLI11_FOUND TRUE)
