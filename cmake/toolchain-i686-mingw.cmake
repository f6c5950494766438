# The x86 flavour, the product: run by 32-bit Wine.
set(VARKEL_MINGW_TRIPLET i686-w64-mingw32)
set(VARKEL_WINEARCH win32)
# Where widl finds stdole2.tlb for this flavour's type library.
set(VARKEL_WIDL_LIBRARY_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
