// File and folder helpers shared by the Win32 and whole-program tests.
#pragma once
#include <string>

std::string readWhole(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
bool exists(const std::string& path);
void removeTree(const std::string& folder);
// A new, empty folder in the temporary directory, ending in a backslash.
std::string newTempFolder(const char* tag);
// The folder of the running test program, ending in a backslash.
std::string ownFolder();
