# The win32 flavour of the Windows build: mingw-w64 for i686, programs run by Wine in a win32
# prefix of the build tree's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VARKEL_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VARKEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARKEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VARKEL_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VARKEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Where widl finds stdole2.tlb for this flavour's type library.
set(VARKEL_WIDL_LIBRARY_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
set(VARKEL_WINEARCH win32)
set(CMAKE_CROSSCOMPILING_EMULATOR env VARKEL_WINEARCH=win32 ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
