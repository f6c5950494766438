# The x64 flavour, for 64-bit hosts: run by 64-bit Wine.
set(VARKEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(VARKEL_WINEARCH win64)
# Where widl finds stdole2.tlb for this flavour's type library.
set(VARKEL_WIDL_LIBRARY_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
