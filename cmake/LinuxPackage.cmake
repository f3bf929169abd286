# Installing Velluma on Linux (`cmake --install`) and the Debian packages of scripts/package
# (`cpack -G DEB`): the window and the command line in the package "velluma", the virtual bench
# with its CA server module and EyeOne library stand-ins in "velluma-bench", so a station
# without a bench does not need it.
include(GNUInstallDirs)

set(PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(VELLUMA_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/velluma)

# Manual pages and the changelog are installed compressed, as Debian keeps them.
set(compressed)
foreach(source man/velluma.1 man/velluma-cli.1 man/velluma-bench.1 changelog)
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${PACKAGING}/${source} > ${output}
    DEPENDS ${PACKAGING}/${source} VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(velluma-packaging-files ALL DEPENDS ${compressed})
set(GZ ${CMAKE_BINARY_DIR}/packaging)

# velluma: the window and the command line.
if(TARGET velluma)
  install(TARGETS velluma RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT velluma)
  install(FILES ${PACKAGING}/velluma.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          COMPONENT velluma)
  install(FILES ${PACKAGING}/io.github.quillem.Velluma.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT velluma)
  install(FILES ${PACKAGING}/velluma-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME velluma.xml COMPONENT velluma)
  install(FILES ${PACKAGING}/velluma.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT velluma)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PACKAGING}/icons/velluma-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME velluma.png COMPONENT velluma)
  endforeach()
  install(FILES ${GZ}/velluma.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT velluma)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/screenshot.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/velluma COMPONENT velluma)
endif()
install(TARGETS velluma-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT velluma)
install(FILES ${GZ}/velluma-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT velluma)
install(FILES ${PACKAGING}/completion/velluma-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT velluma)
install(FILES ${PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velluma
        COMPONENT velluma)
install(FILES ${GZ}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velluma
        RENAME changelog.Debian.gz COMPONENT velluma)

# velluma-bench: the bench, its two libraries in Velluma's private library folder, and the
# panel files it can play (--display).
if(TARGET velluma-bench)
  install(TARGETS velluma-bench RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT bench)
  install(TARGETS ca200srvr EyeOne LIBRARY DESTINATION ${VELLUMA_PRIVATE_LIBDIR} COMPONENT bench)
  install(FILES ${GZ}/velluma-bench.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT bench)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/bench/panels/
          DESTINATION ${CMAKE_INSTALL_DATADIR}/velluma-bench/panels COMPONENT bench
          FILES_MATCHING PATTERN "*.panel")
  install(FILES ${PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velluma-bench
          COMPONENT bench)
  install(FILES ${GZ}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velluma-bench
          RENAME changelog.Debian.gz COMPONENT bench)
endif()

set(CPACK_PACKAGE_VENDOR Quillem)
set(CPACK_PACKAGE_CONTACT "Quillem <velluma@quillem.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calibration tool for the QX-7MR520 monitor")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL velluma bench)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quillem.github.io/velluma/)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_VELLUMA_PACKAGE_NAME velluma)
set(CPACK_COMPONENT_VELLUMA_DESCRIPTION_SUMMARY "calibration tool for the QX-7MR520 monitor")
set(CPACK_DEBIAN_VELLUMA_DESCRIPTION "Velluma calibrates the QX-7MR520 professional LCD monitor over its serial
link: it shows colour patches, measures them with a CA-210, CA-310, i1-Pro
or PR-655, writes the measured primaries and grey levels into the monitor
and saves a calibration data file. It converts Baselight and DaVinci
Resolve LUTs into the monitor's LUT and sends them, with film-gamma tables,
into the monitor's user memories.

This package holds the window, velluma, and the command line, velluma-cli.")
# libpq is loaded only when a PostgreSQL history is opened (history/PostgresLibrary.h), so the
# computed dependencies no longer name it. A recommendation, not a dependency: every procedure and
# the file history run without it, only a history shared on a server needs it; apt installs it
# with the package unless told not to, and the history names the missing library when it is not.
set(CPACK_DEBIAN_VELLUMA_PACKAGE_RECOMMENDS libpq5)
set(CPACK_DEBIAN_BENCH_PACKAGE_NAME velluma-bench)
set(CPACK_COMPONENT_BENCH_DESCRIPTION_SUMMARY "virtual QX-7MR520 monitor and instruments for Velluma")
set(CPACK_DEBIAN_BENCH_DESCRIPTION "velluma-bench plays the QX-7MR520 monitor and a PR-655 on ptys, and its CA
server module and EyeOne library measure through it, so that every
procedure of Velluma runs without hardware: for demonstrations, training
and tests.")
set(CPACK_DEBIAN_BENCH_PACKAGE_SECTION science)
include(CPack)
