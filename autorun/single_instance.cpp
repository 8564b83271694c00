#include "autorun/single_instance.h"

std::string InstanceMutexName(const std::string& programPath)
{
    std::string name = programPath;
    for (char& c : name) {
        if (c == '\\')
            c = '_';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}
