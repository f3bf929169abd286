# The program's folder for a Windows station as a zip, for copying by hand where the installer
# is not wanted: `cpack -G ZIP` in the Windows build makes velluma-VERSION-win64.zip with
# velluma-cli.exe (linked statically: no DLL beside it), README.txt (the README's Windows
# section) and, when the window is built, velluma.exe with Qt's DLLs and plugins beside it.
install(TARGETS velluma-cli RUNTIME DESTINATION .)

file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
string(FIND "${readme}" "\n## Windows\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "README.md has no \"## Windows\" section for the package")
endif()
math(EXPR start "${start} + 1")
string(SUBSTRING "${readme}" ${start} -1 section)
string(FIND "${section}" "\n## " end)  # the next section, the first after the heading's own line
if(NOT end EQUAL -1)
  string(SUBSTRING "${section}" 0 ${end} section)
endif()
string(REPLACE "\n" "\r\n" section "${section}\n")  # Notepad's line ends
file(WRITE ${CMAKE_BINARY_DIR}/README.txt "${section}")
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/README.md)

set(CPACK_PACKAGE_NAME velluma)
set(CPACK_PACKAGE_VENDOR Quillem)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Velluma, the QX-7MR520's calibration tool")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CPACK_SYSTEM_NAME win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
