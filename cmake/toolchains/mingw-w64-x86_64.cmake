# Cross-building the Windows front end with Debian's MinGW-w64 for x86_64.
set(ZORBALIN_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
