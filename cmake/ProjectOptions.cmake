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

# The shared libraries of standard C++, in the order they build on each other; every build
# (Linux, Windows, fuzzing) has them all.
set(ZORBALIN_CORE_DIRS base layout draw textio sheets files dialogs lifecycle)
macro(zorbalin_add_core)
  foreach(dir IN LISTS ZORBALIN_CORE_DIRS)
    add_subdirectory(${PROJECT_SOURCE_DIR}/${dir} ${PROJECT_BINARY_DIR}/${dir})
  endforeach()
endmacro()

# A static library of the shared core: its headers under include/ are what it exports, and
# it is known as zorbalin::<name> too. PUBLIC and PRIVATE take the libraries it links.
function(zorbalin_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  add_library(zorbalin::${name} ALIAS ${name})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include)
  target_compile_features(${name} PUBLIC cxx_std_20)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  zorbalin_target_defaults(${name})
endfunction()
