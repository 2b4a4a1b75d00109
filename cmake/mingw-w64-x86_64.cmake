# Cross build for 64-bit Windows with Debian's MinGW-w64, and Qt for MinGW when it is there.
include(${CMAKE_CURRENT_LIST_DIR}/mingw/compilers.cmake)

# Self-contained console programs: no MinGW runtime DLLs to carry beside them or into a Wine
# prefix. The Qt program uses Qt's DLLs, which bring the runtime DLLs with them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# MinGW-w64 declares the POSIX reentrant time functions (localtime_r, gmtime_r) on request.
set(CMAKE_C_FLAGS_INIT "-D_POSIX_THREAD_SAFE_FUNCTIONS")
set(CMAKE_CXX_FLAGS_INIT "-D_POSIX_THREAD_SAFE_FUNCTIONS")

# Qt 6 Widgets cross-built for MinGW: MOLVANE_QT_MINGW_PREFIX (cache or environment), else the
# cache folder that scripts/install-deps.sh --windows fills (keep the two in step). Debian has no
# such package; the host tools (moc) come from Debian's qt6-base-dev, the same version. This does
# what the prefix's own qt.toolchain.cmake does, without its chain-loading.
if(NOT MOLVANE_QT_MINGW_PREFIX)
  if(DEFINED ENV{MOLVANE_QT_MINGW_PREFIX})
    set(MOLVANE_QT_MINGW_PREFIX "$ENV{MOLVANE_QT_MINGW_PREFIX}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(MOLVANE_QT_MINGW_PREFIX "$ENV{XDG_CACHE_HOME}/molvane/qt6.4.2-mingw64/prefix")
  else()
    set(MOLVANE_QT_MINGW_PREFIX "$ENV{HOME}/.cache/molvane/qt6.4.2-mingw64/prefix")
  endif()
  set(MOLVANE_QT_MINGW_PREFIX "${MOLVANE_QT_MINGW_PREFIX}" CACHE PATH "Qt 6 built for MinGW-w64")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MOLVANE_QT_MINGW_PREFIX)
if(EXISTS "${MOLVANE_QT_MINGW_PREFIX}/lib/cmake/Qt6/Qt6Config.cmake")
  list(PREPEND CMAKE_FIND_ROOT_PATH "${MOLVANE_QT_MINGW_PREFIX}")
  list(PREPEND CMAKE_PREFIX_PATH "${MOLVANE_QT_MINGW_PREFIX}/lib/cmake")
  list(PREPEND CMAKE_MODULE_PATH "${MOLVANE_QT_MINGW_PREFIX}/lib/cmake/Qt6/platforms")
  set(QT_HOST_PATH /usr CACHE PATH "Host Qt of the same version, for moc")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
else()
  get_property(_trying GLOBAL PROPERTY IN_TRY_COMPILE)
  get_property(_told GLOBAL PROPERTY MOLVANE_NO_QT_TOLD)
  if(NOT _trying AND NOT _told)
    set_property(GLOBAL PROPERTY MOLVANE_NO_QT_TOLD TRUE)
    message(WARNING "No Qt for MinGW in ${MOLVANE_QT_MINGW_PREFIX}: scripts/install-deps.sh "
                    "--windows provides it; -DMOLVANE_BUILD_GUI=OFF builds without the Qt program.")
  endif()
endif()

# The fleet store's SOCI (SQLite and PostgreSQL backends), SQLite and libpq, static, cross-built
# by scripts/build-fleet-mingw.sh: MOLVANE_FLEET_MINGW_PREFIX (cache or environment), else the
# cache folder that scripts/install-deps.sh --windows fills (keep the two in step). Without it
# the build leaves the fleet store out and says so; a prefix without the PostgreSQL backend (an
# older build) gives a store without the site server.
if(NOT MOLVANE_FLEET_MINGW_PREFIX)
  if(DEFINED ENV{MOLVANE_FLEET_MINGW_PREFIX})
    set(MOLVANE_FLEET_MINGW_PREFIX "$ENV{MOLVANE_FLEET_MINGW_PREFIX}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(MOLVANE_FLEET_MINGW_PREFIX "$ENV{XDG_CACHE_HOME}/molvane/soci4.0.3-sqlite3.40.1-pq15-mingw64/prefix")
  else()
    set(MOLVANE_FLEET_MINGW_PREFIX "$ENV{HOME}/.cache/molvane/soci4.0.3-sqlite3.40.1-pq15-mingw64/prefix")
  endif()
  set(MOLVANE_FLEET_MINGW_PREFIX "${MOLVANE_FLEET_MINGW_PREFIX}" CACHE PATH
      "SOCI and SQLite built for MinGW-w64")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MOLVANE_FLEET_MINGW_PREFIX)
if(NOT EXISTS "${MOLVANE_FLEET_MINGW_PREFIX}/include/soci/postgresql/soci-postgresql.h")
  set(MOLVANE_FLEET_SERVER OFF CACHE BOOL "No PostgreSQL backend for MinGW-w64")
endif()
if(EXISTS "${MOLVANE_FLEET_MINGW_PREFIX}/include/soci/sqlite3/soci-sqlite3.h")
  list(PREPEND CMAKE_FIND_ROOT_PATH "${MOLVANE_FLEET_MINGW_PREFIX}")
else()
  set(MOLVANE_FLEET OFF CACHE BOOL "No SOCI for MinGW-w64")
  get_property(_trying GLOBAL PROPERTY IN_TRY_COMPILE)
  get_property(_told GLOBAL PROPERTY MOLVANE_NO_FLEET_TOLD)
  if(NOT _trying AND NOT _told)
    set_property(GLOBAL PROPERTY MOLVANE_NO_FLEET_TOLD TRUE)
    message(WARNING "No SOCI for MinGW in ${MOLVANE_FLEET_MINGW_PREFIX}: scripts/install-deps.sh "
                    "--windows provides it; this build leaves the fleet store out.")
  endif()
endif()
