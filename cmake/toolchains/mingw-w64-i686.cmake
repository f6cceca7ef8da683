# Cross-building the Windows front end with Debian's MinGW-w64 for i686.
set(ZORBALIN_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
