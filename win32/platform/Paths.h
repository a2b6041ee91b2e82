#pragma once

#include <string>

namespace marbleye::win32 {

// The folder of the program file, without a trailing separator.
std::string ProgramFolder();

// A file of that name in the Windows folder.
std::string WindowsFolderFile(const std::string& name);

// The path of a file as the core opens it. Under Wine the core runs as a
// native library and needs the host's path for a Windows path.
std::string ToCorePath(const std::string& windowsPath);

// The folder part of a path: up to, not including, its last backslash;
// the path itself when it has none.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);

}  // namespace marbleye::win32
