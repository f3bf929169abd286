# velluma.exe, the window on Windows: a program without a console, with the program's icon, and
# beside it what it loads of Qt (the DLLs of the modules it links, the Windows platform plugin and
# the native style), as windeployqt would lay them out. They are copied beside it in the build
# tree, so it runs from there, and installed with it.
set_target_properties(velluma PROPERTIES WIN32_EXECUTABLE ON)

find_program(VELLUMA_ICOTOOL icotool)
if(VELLUMA_ICOTOOL)
  set(icon_sizes 16 24 32 48 64 128 256)
  list(TRANSFORM icon_sizes PREPEND ${PROJECT_SOURCE_DIR}/packaging/icons/velluma- OUTPUT_VARIABLE icons)
  list(TRANSFORM icons APPEND .png)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/velluma.ico
    COMMAND ${VELLUMA_ICOTOOL} -c -o ${CMAKE_CURRENT_BINARY_DIR}/velluma.ico ${icons}
    DEPENDS ${icons} VERBATIM)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/velluma.rc "1 ICON \"velluma.ico\"\n")
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/velluma.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/velluma.ico)
  target_sources(velluma PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/velluma.rc)
else()
  message(STATUS "velluma.exe has no icon: icotool (icoutils) is not installed")
endif()

set(qt_libraries Qt6::Core Qt6::Gui Qt6::Widgets)
set(qt_plugins platforms=Qt6::QWindowsIntegrationPlugin styles=Qt6::QWindowsVistaStylePlugin)
foreach(library IN LISTS qt_libraries)
  add_custom_command(TARGET velluma POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_if_different
    $<TARGET_FILE:${library}> $<TARGET_FILE_DIR:velluma>)
  install(FILES $<TARGET_FILE:${library}> DESTINATION . COMPONENT window)
endforeach()
foreach(entry IN LISTS qt_plugins)
  string(REPLACE "=" ";" entry ${entry})
  list(GET entry 0 folder)
  list(GET entry 1 plugin)
  add_custom_command(TARGET velluma POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:velluma>/${folder}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${plugin}>
            $<TARGET_FILE_DIR:velluma>/${folder})
  install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${folder} COMPONENT window)
endforeach()
install(TARGETS velluma RUNTIME DESTINATION . COMPONENT window)
