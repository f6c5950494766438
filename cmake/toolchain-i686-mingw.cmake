# The x86 flavour, the product: run by 32-bit Wine.
set(VARKEL_MINGW_TRIPLET i686-w64-mingw32)
set(VARKEL_WINEARCH win32)
# Where widl finds stdole2.tlb for this flavour's type library: 32-bit Wine's, or 64-bit Wine's
# where 32-bit Wine could not be installed (scripts/install-deps). The type library written is
# the same byte for byte with either: it names stdole2 by its GUID and version, not its file.
set(VARKEL_WIDL_LIBRARY_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
if(NOT EXISTS ${VARKEL_WIDL_LIBRARY_DIR}/stdole2.tlb)
  set(VARKEL_WIDL_LIBRARY_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
