# The tests of the Windows build, run under Wine by scripts/windows (CTest starts each through
# the toolchain's emulator). Everything that does not need Qt or the bench as a child process:
#
# - app/ and the window tests: no Qt for Windows on this machine;
# - LCDBenchTest, TransfersTest, MeasurementTest, BenchInstrumentsTest, VellumaCliTest and
#   VellumaCliAutoTest start the bench (a POSIX program) as their child and talk to its Unix
#   socket; under Wine the same paths run end to end, velluma-cli.exe against the bench
#   (scripts/windows-e2e);
# - HostileFilesTest measures each read in a forked child (CPU time, peak memory);
# - the bench's own tests: the bench is a Linux program;
# - within the tests that run, the cases of POSIX's own (file modes, symbolic links, FIFOs, a
#   user without root's override, signals) are POSIX-only and have Windows twins where Windows
#   has the same thing (read-only and hidden attributes, DOS device names, the registry); the
#   clean-up on Ctrl+C has none, as Wine gives a program without a console no console events.
#
# Serial tests get their ports from the pty relay (PtyRelay.cpp, built natively): each PtyPeer
# is a pty linked as a COM port in the Wine prefix.

# GoogleTest from Debian's source package, built with the cross compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -Wno-error)
endforeach()

add_library(test_support STATIC
  support/CpuTime.cpp
  support/PtyPeer.cpp
  support/PtyPeerWin32.cpp
  support/TempDir.cpp
)
target_link_libraries(test_support PUBLIC platform ws2_32)

add_library(station_test_support STATIC support/ScriptedOperator.cpp)
target_link_libraries(station_test_support PUBLIC calibration)
add_library(scripted_ca_server STATIC support/ScriptedCaServer.cpp)
target_link_libraries(scripted_ca_server PUBLIC platform)
add_library(ScriptedEyeOne SHARED support/ScriptedEyeOne.cpp)
add_library(ScriptedEyeOneIncomplete SHARED support/ScriptedEyeOne.cpp)
target_compile_definitions(ScriptedEyeOneIncomplete PRIVATE SCRIPTED_EYEONE_LACKS_GET_OPTION)
# The DLLs carry no "lib" prefix, as a vendor's DLL does not.
set_target_properties(ScriptedEyeOne ScriptedEyeOneIncomplete PROPERTIES PREFIX "")

function(velluma_test name source)
  add_executable(${name} ${source} ${ARGN})
  target_link_libraries(${name} PRIVATE test_support gtest gtest_main)
  add_test(NAME ${name} COMMAND ${name})
endfunction()


# ---- platform/ ----
foreach(name SettingsStoreTest SerialPortTest CLocaleTest TextToNumberTest AtomicFileTest
             SharedLibraryTest)
  velluma_test(${name} platform/${name}.cpp)
  target_link_libraries(${name} PRIVATE platform)
endforeach()
# Windows only: the registry as the settings' home, and the CA server's COM binding.
foreach(name MachineSettingsTest CaServerComTest)
  velluma_test(${name} windows/${name}.cpp)
  target_link_libraries(${name} PRIVATE platform)
endforeach()
target_link_libraries(CaServerComTest PRIVATE oleaut32)

# ---- lut/ ----
foreach(name LUTReaderTest BaselightLUTReaderTest DaVinciLUTReaderTest LUTKernelsTest
             LUTConversionTest DirectTableModeTest LUTFileLoadTest)
  velluma_test(${name} lut/${name}.cpp)
  target_link_libraries(${name} PRIVATE lut)
endforeach()

# ---- colour/ ----
foreach(name ColourTest ColourTemperatureTest TargetTest VerificationTest)
  velluma_test(${name} colour/${name}.cpp)
  target_link_libraries(${name} PRIVATE colour)
endforeach()

# ---- monitor/ ----
foreach(name FramingTest LCDTest CommandSetTest)
  velluma_test(${name} monitor/${name}.cpp)
  target_link_libraries(${name} PRIVATE monitor)
endforeach()

# ---- instruments/ ----
velluma_test(CaAnalyzerTest instruments/CaAnalyzerTest.cpp)
target_link_libraries(CaAnalyzerTest PRIVATE instruments scripted_ca_server)
velluma_test(EyeOneAnalyzerTest instruments/EyeOneAnalyzerTest.cpp)
target_link_libraries(EyeOneAnalyzerTest PRIVATE instruments)
target_compile_definitions(EyeOneAnalyzerTest PRIVATE
  SCRIPTED_EYEONE_PATH="$<TARGET_FILE:ScriptedEyeOne>"
  SCRIPTED_EYEONE_INCOMPLETE_PATH="$<TARGET_FILE:ScriptedEyeOneIncomplete>")
add_dependencies(EyeOneAnalyzerTest ScriptedEyeOne ScriptedEyeOneIncomplete)
foreach(name Pr655AnalyzerTest AnalyzerFrontTest)
  velluma_test(${name} instruments/${name}.cpp)
  target_link_libraries(${name} PRIVATE instruments)
endforeach()

# ---- datafiles/ ----
velluma_test(CalibrationFileTest datafiles/CalibrationFileTest.cpp)
target_link_libraries(CalibrationFileTest PRIVATE datafiles)
target_compile_definitions(CalibrationFileTest PRIVATE
  VELLUMA_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/datafiles/golden")
velluma_test(FilmGammaFileTest datafiles/FilmGammaFileTest.cpp)
target_link_libraries(FilmGammaFileTest PRIVATE datafiles)
velluma_test(TableEditsTest datafiles/TableEditsTest.cpp)
target_link_libraries(TableEditsTest PRIVATE station_test_support)
velluma_test(VerificationReportTest datafiles/VerificationReportTest.cpp)
target_link_libraries(VerificationReportTest PRIVATE datafiles)

# ---- calibration/ ----
velluma_test(GreyScaleCheckTest calibration/GreyScaleCheckTest.cpp)
target_link_libraries(GreyScaleCheckTest PRIVATE calibration)
foreach(name StationTest CalibrationFileProceduresTest TableFileProceduresTest)
  velluma_test(${name} calibration/${name}.cpp)
  target_link_libraries(${name} PRIVATE station_test_support)
endforeach()
velluma_test(InstrumentCalibrationTest calibration/InstrumentCalibrationTest.cpp)
target_link_libraries(InstrumentCalibrationTest PRIVATE station_test_support scripted_ca_server)
target_compile_definitions(InstrumentCalibrationTest PRIVATE
  SCRIPTED_EYEONE_PATH="$<TARGET_FILE:ScriptedEyeOne>")
add_dependencies(InstrumentCalibrationTest ScriptedEyeOne)

# ---- cli/ ----
velluma_test(CliTest cli/CommandLineTest.cpp cli/ConsoleOperatorTest.cpp
             cli/PrivateSettingsTest.cpp cli/ClockFromEnvironmentTest.cpp)
target_link_libraries(CliTest PRIVATE cli)

# The settings the Windows build writes, read back from outside with `wine reg query`. It,
# MachineSettingsTest and CliTest share the prefix's machine key, so they never run at once.
add_test(NAME RegistryQueryTest
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/registry-query-test
                 $<TARGET_FILE:MachineSettingsTest>)
set_tests_properties(MachineSettingsTest RegistryQueryTest CliTest
                     PROPERTIES RESOURCE_LOCK machine-registry)
