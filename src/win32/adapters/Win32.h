#pragma once
// <windows.h> for varkel's Windows code, included through this one header so that every
// Windows file sees the same declarations.

#include <windows.h>
