// Files for the targets whose code under test reads its input from disk: one
// private directory per fuzzing process, in memory where the system offers a
// RAM file system, since every input is written out anew.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace scratch {

inline std::string& DirectoryName()
{
    static std::string name;
    return name;
}

inline void RemoveDirectory()
{
    std::error_code error;
    std::filesystem::remove_all(DirectoryName(), error);
}

// Created on first use and removed when the process exits normally.
inline const std::string& Directory()
{
    std::string& name = DirectoryName();
    if (name.empty()) {
        std::error_code error;
        const char* tmp = std::getenv("TMPDIR");
        std::string base = std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0
                               ? "/dev/shm"
                               : (tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
        std::string pattern = base + "/velmora-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        name = pattern;
        std::atexit(RemoveDirectory);
    }
    return name;
}

inline void Write(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
}

// The parts of one input as the files `names`, in order; a file without a
// part is removed, so nothing of an earlier input is left to be read.
template <typename Names, typename Parts>
void WriteParts(const Names& names, const Parts& parts)
{
    std::size_t i = 0;
    for (const std::string& name : names) {
        if (i < parts.size())
            Write(name, parts[i]);
        else
            unlink(name.c_str());
        ++i;
    }
}

}  // namespace scratch
