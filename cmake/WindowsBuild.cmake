# The native Windows build: the shared standard-C++ libraries, the Win32 front end, and
# (with tests on) the shared suites and the front end's suites, run under Wine by CTest.
# Everything is linked statically so that the program needs no DLL beyond Windows' own.

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
                        WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

# zlib from libz-mingw-w64-dev, its static library: the program imports no zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
zorbalin_add_core()
add_subdirectory(win32)
add_subdirectory(bench/win32)

if(BUILD_TESTING)
  # GoogleTest from Debian's source package, built with the cross compiler.
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

  # A test program run whole under Wine (CTest puts the emulator in front of it).
  function(zorbalin_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    zorbalin_target_defaults(${name})
    # MinGW's GCC 12 warns of overlapping copies inside std::u16string that cannot happen
    # (a known false positive of -Wrestrict when string literals are inlined into tests).
    target_compile_options(${name} PRIVATE -Wno-restrict)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
      ZORBALIN_TEST_DATA_DIR="Z:${PROJECT_SOURCE_DIR}/tests/data")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS windows TIMEOUT 600)
  endfunction()

  add_subdirectory(tests/draw)
  add_subdirectory(tests/textio)
  add_subdirectory(tests/sheets)
  add_subdirectory(tests/files)
  add_subdirectory(tests/layout)
  add_subdirectory(tests/dialogs)
  add_subdirectory(tests/lifecycle)
  add_subdirectory(tests/win32)

  # The real zorbalin.exe under Wine, driven by real X input (needs a display: the runner
  # tools/run-windows-tests.sh gives it a private Xvfb and a fresh prefix).
  function(zorbalin_wine_e2e_test name script)
    add_test(NAME ${name}
      COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win32/e2e/${script} $<TARGET_FILE:zorbalin>)
    set_tests_properties(${name} PROPERTIES LABELS "windows;e2e" TIMEOUT 300)
  endfunction()
  zorbalin_wine_e2e_test(e2e_windows_draw_and_choose_file drive_zorbalin_exe.sh)
  zorbalin_wine_e2e_test(e2e_windows_classroom_options classroom_options_exe.sh)
  zorbalin_wine_e2e_test(e2e_windows_event_options event_options_exe.sh)
  zorbalin_wine_e2e_test(e2e_windows_choose_workbook choose_workbook_exe.sh)
endif()
