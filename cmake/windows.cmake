# Building for Windows (cmake/mingw-w64-x86_64.cmake): SDL2, libmpg123 and googletest come
# from the prefix scripts/build-windows.sh makes, linked statically with the C++ runtime, so
# the programs need no DLL beside them.
find_package(SDL2 CONFIG REQUIRED)
pkg_check_modules(MPG123 REQUIRED libmpg123)
target_link_libraries(zorbit_ext_sdl2 INTERFACE SDL2::SDL2-static)
find_library(ZORBIT_MPG123_LIB NAMES libmpg123.a REQUIRED)
target_include_directories(zorbit_ext_mpg123 INTERFACE ${MPG123_INCLUDE_DIRS})
target_link_libraries(zorbit_ext_mpg123 INTERFACE ${ZORBIT_MPG123_LIB} shlwapi)
add_link_options(-static -static-libgcc -static-libstdc++)
# UTF-16 is at every Windows call; the narrow (ANSI) functions are never meant.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
# localtime_r and the other reentrant POSIX calls the C runtime has.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS)
# SDL's OpenGL header would bring in all of windows.h, whose names the game's own Windows-like
# API shares; the one word it needs from there is given instead.
set_source_files_properties(src/platform/sdl/sdl_vsync_present.cpp PROPERTIES
  COMPILE_DEFINITIONS "APIENTRY=__stdcall;WINGDIAPI=__declspec(dllimport)")
