# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, for
# std::thread and std::mutex). ZORBIT_WIN_PREFIX names the folder holding SDL2, libmpg123 and
# googletest built for Windows; nothing of the Linux system's libraries is searched.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT ZORBIT_WIN_PREFIX AND DEFINED ENV{ZORBIT_WIN_PREFIX})
  set(ZORBIT_WIN_PREFIX $ENV{ZORBIT_WIN_PREFIX})
endif()
# try_compile projects see the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZORBIT_WIN_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${ZORBIT_WIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the prefix's .pc files, never the Linux ones.
if(ZORBIT_WIN_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${ZORBIT_WIN_PREFIX}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# Test programs (and gtest_discover_tests) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
