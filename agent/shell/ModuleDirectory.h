#pragma once

// The folder of a program file, without its trailing separator: the last separator and
// everything after it are blanked out (index 0 is never touched, so "/Vandu" gives "/"), then
// trailing white space is trimmed.

#include <string>

std::string ModuleDirectoryOf(const std::string& programPath);
