// Creating a folder together with the folders above it that are missing.
#pragma once

#include <string>

// Creates path and every missing folder above it, each with mode 0700 (less the umask).
// Returns true when path is a directory afterwards (also when it already was).
bool MakeFolders(const std::string& path);
