#pragma once
// <windows.h> for varkel's Windows code. Include it before any other header: it drops
// Version.dll's A/W name macros, which would otherwise rename the version port's methods
// (GetFileVersionInfoSize, GetFileVersionInfo) in some files and not in others.

#include <windows.h>

#undef GetFileVersionInfoSize
#undef GetFileVersionInfo
