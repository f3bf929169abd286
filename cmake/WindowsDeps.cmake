# The history's libraries for the Windows build, as scripts/windows-deps builds them: given their
# folders, SQLite and libpq become the same imported targets find_package gives the host build, so
# the history is built one way on both. Without them the Windows build keeps no history.
set(VELLUMA_WINDOWS_SQLITE "" CACHE PATH "SQLite built by scripts/windows-deps (include/, lib/)")
set(VELLUMA_WINDOWS_LIBPQ "" CACHE PATH "libpq built by scripts/windows-deps (include/, lib/)")

if(VELLUMA_WINDOWS_SQLITE AND VELLUMA_WINDOWS_LIBPQ)
  add_library(SQLite::SQLite3 STATIC IMPORTED GLOBAL)
  set_target_properties(SQLite::SQLite3 PROPERTIES
    IMPORTED_LOCATION "${VELLUMA_WINDOWS_SQLITE}/lib/libsqlite3.a"
    INTERFACE_INCLUDE_DIRECTORIES "${VELLUMA_WINDOWS_SQLITE}/include")

  # libpq's static library needs PostgreSQL's common and port code and Windows' sockets and
  # security libraries (password authentication, the user's name).
  add_library(PostgreSQL::PostgreSQL STATIC IMPORTED GLOBAL)
  set_target_properties(PostgreSQL::PostgreSQL PROPERTIES
    IMPORTED_LOCATION "${VELLUMA_WINDOWS_LIBPQ}/lib/libpq.a"
    INTERFACE_INCLUDE_DIRECTORIES "${VELLUMA_WINDOWS_LIBPQ}/include"
    INTERFACE_LINK_LIBRARIES
      "${VELLUMA_WINDOWS_LIBPQ}/lib/libpgcommon_shlib.a;${VELLUMA_WINDOWS_LIBPQ}/lib/libpgport_shlib.a;ws2_32;secur32;advapi32;shell32")
endif()

# Qt for Windows, as scripts/windows-deps builds it (Core, Gui, Widgets, Test and the Windows
# platform plugin, as DLLs): its code generators (moc, rcc, uic) are the build machine's own Qt of
# the same version. Without it the Windows build has no window.
set(VELLUMA_WINDOWS_QT "" CACHE PATH "Qt for Windows built by scripts/windows-deps")
if(VELLUMA_WINDOWS_QT)
  list(APPEND CMAKE_PREFIX_PATH "${VELLUMA_WINDOWS_QT}")
  list(APPEND CMAKE_FIND_ROOT_PATH "${VELLUMA_WINDOWS_QT}")
  set(QT_HOST_PATH /usr CACHE PATH "")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
elseif(VELLUMA_BUILD_WINDOW)
  message(STATUS "The Windows build has no window: VELLUMA_WINDOWS_QT is not set")
  set(VELLUMA_BUILD_WINDOW OFF)
endif()
