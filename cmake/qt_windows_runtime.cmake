# What a Qt program needs beside it on Windows: Qt's DLLs, the platform and style plugins in their
# subfolders, and the MinGW runtime DLLs that Qt's DLLs were linked against. Our own programs
# link the runtime statically; Qt's DLLs cannot. The same list serves the build tree (so that the
# programs and the GUI tests run under Wine as built) and `cmake --install` (the portable folder).

find_package(Qt6 REQUIRED COMPONENTS Widgets)  # its targets, in this folder too
set(_qt_dlls $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>)
set(_qt_platforms $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>)
set(_qt_styles $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>)

set(_runtime_dlls "")
foreach(_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                  OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${_path}" OR NOT EXISTS "${_path}")
    message(FATAL_ERROR "${_dll} not found beside ${CMAKE_CXX_COMPILER}")
  endif()
  get_filename_component(_path "${_path}" REALPATH)
  list(APPEND _runtime_dlls "${_path}")
endforeach()

# Copies the runtime into the folder of `target` whenever it is built, with the offscreen
# platform as well, on which the GUI tests run.
function(molvane_copy_qt_runtime target)
  set(_dir $<TARGET_FILE_DIR:${target}>)
  set(_platforms ${_qt_platforms})
  if(TARGET Qt6::QOffscreenIntegrationPlugin)
    list(APPEND _platforms $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>)
  endif()
  add_custom_target(${target}_qt_runtime
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_qt_dlls} ${_runtime_dlls} ${_dir}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}/platforms ${_dir}/styles
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_platforms} ${_dir}/platforms
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_qt_styles} ${_dir}/styles
    VERBATIM)
  add_dependencies(${target} ${target}_qt_runtime)
endfunction()

molvane_copy_qt_runtime(molvane)

# The program's icon and version, in its resources.
set(MOLVANE_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/molvane.ico)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/molvane.rc.in
               ${CMAKE_CURRENT_BINARY_DIR}/molvane.rc @ONLY)
target_sources(molvane PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/molvane.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/molvane.rc PROPERTIES
  OBJECT_DEPENDS ${MOLVANE_ICON})
if(TARGET test_gui)
  molvane_copy_qt_runtime(test_gui)
endif()

install(TARGETS molvane molvanectl RUNTIME DESTINATION .)
install(FILES ${_qt_dlls} ${_runtime_dlls} DESTINATION .)
install(FILES ${_qt_platforms} DESTINATION platforms)
install(FILES ${_qt_styles} DESTINATION styles)
