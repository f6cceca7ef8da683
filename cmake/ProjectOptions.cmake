# Warnings and optional sanitizers, applied per target rather than globally. CI makes the
# warnings errors (ZORBALIN_WERROR); a packager's newer compiler must not fail the build.
option(ZORBALIN_WERROR "Treat warnings as errors" OFF)
function(zorbalin_target_defaults target)
  # Aggregates such as Problem are meant to be given only their first fields.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wsign-conversion -Wno-missing-field-initializers)
  if(ZORBALIN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(ZORBALIN_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A GoogleTest executable registered with CTest. Extra arguments are libraries to link.
function(zorbalin_add_gtest name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  zorbalin_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    ZORBALIN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
