# The Debian package that scripts/package-linux.sh makes with CPack: the three programs, the
# desktop entry with the program's picture at the icon theme's sizes, manual pages made from the
# programs' own --help by help2man, and the udev rule that gives FTDI adapters to the user at the
# machine. The generated files are built by the target molvane_package_files, not by every
# build, and installing does not build the tests first.
if(WIN32 OR NOT MOLVANE_BUILD_GUI)
  return()
endif()
find_program(MOLVANE_HELP2MAN help2man)
if(NOT MOLVANE_HELP2MAN)
  message(STATUS "help2man not found: no Debian package (scripts/install-deps.sh installs it)")
  return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Gui)  # its targets, in this folder too
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(MOLVANE_PACKAGE_MAINTAINER "Molvane developers <molvane@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(_linux ${CMAKE_CURRENT_SOURCE_DIR}/packaging/linux)
set(_made ${CMAKE_BINARY_DIR}/package-files)

# The window's own picture, drawn once for each size the hicolor theme looks in.
set(_icon_sizes 16 22 24 32 48 64 128 256)
add_executable(molvane_write_icons EXCLUDE_FROM_ALL
  ${_linux}/write_icons.cpp ${CMAKE_CURRENT_SOURCE_DIR}/src/gui/app_icon.cpp)
target_include_directories(molvane_write_icons PRIVATE ${CMAKE_BINARY_DIR}/include/gui)
target_link_libraries(molvane_write_icons PRIVATE Qt6::Gui)
list(TRANSFORM _icon_sizes REPLACE "(.+)" "${_made}/icons/\\1x\\1/apps/molvane.png"
     OUTPUT_VARIABLE _icons)
add_custom_command(OUTPUT ${_icons}
  COMMAND molvane_write_icons ${_made}/icons ${_icon_sizes}
  DEPENDS molvane_write_icons VERBATIM)

function(_molvane_manual_page program summary)
  set(_page ${_made}/man/${program}.1)
  add_custom_command(OUTPUT ${_page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_made}/man
    COMMAND ${MOLVANE_HELP2MAN} --no-info --version-string=${PROJECT_VERSION}
            --name=${summary} --output=${_page} $<TARGET_FILE:${program}>
    COMMAND gzip -9nf ${_page}
    DEPENDS ${program} VERBATIM)
endfunction()
_molvane_manual_page(molvanectl "service and configure an electronic cart from the command line")
_molvane_manual_page(cartsim "a simulated electronic cart on a pseudo-terminal")
# The desktop program's page is written by hand: it says more than its --help.
add_custom_command(OUTPUT ${_made}/man/molvane.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_made}/man
  COMMAND gzip -9n -c ${_linux}/molvane.1 > ${_made}/man/molvane.1.gz
  DEPENDS ${_linux}/molvane.1)
set(_manual_pages ${_made}/man/molvane.1.gz ${_made}/man/molvanectl.1.gz ${_made}/man/cartsim.1.gz)

string(TIMESTAMP MOLVANE_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${_linux}/changelog.in ${_made}/changelog @ONLY)
add_custom_command(OUTPUT ${_made}/changelog.gz
  COMMAND gzip -9nkf ${_made}/changelog
  DEPENDS ${_made}/changelog VERBATIM)

add_custom_target(molvane_package_files DEPENDS ${_icons} ${_manual_pages} ${_made}/changelog.gz)

install(TARGETS molvane molvanectl cartsim RUNTIME DESTINATION bin)
install(FILES ${_linux}/molvane.desktop DESTINATION share/applications)
install(DIRECTORY ${_made}/icons/ DESTINATION share/icons/hicolor)
install(FILES ${_manual_pages} DESTINATION share/man/man1)
install(FILES ${_linux}/70-molvane.rules DESTINATION lib/udev/rules.d)
install(FILES ${_linux}/copyright ${_made}/changelog.gz DESTINATION share/doc/molvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME molvane)
set(CPACK_PACKAGE_CONTACT ${MOLVANE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${_linux}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service and configuration tool for electronic carts")
# Lines as the control file shows them, under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "\
Molvane sets up, tests and updates electronic carts (cabinets on wheels whose
drawers open by PIN or RFID badge) over their USB serial cable: settings, PIN
list, access log, firmware of each board, display bitmaps and title, clock and
factory calibration.
.
The package holds the desktop program (molvane), the same operations for
scripts (molvanectl) and a simulated cart on a pseudo-terminal (cartsim). Its
udev rule gives FTDI adapters to the user logged in at the machine.")
include(CPack)
