#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace marbleye {

// A C stream for the libraries that read from one, closed when it goes.
struct StdioCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioCloser>;

inline StdioFile OpenForReading(const std::string& path) { return StdioFile(std::fopen(path.c_str(), "rb")); }

}  // namespace marbleye
