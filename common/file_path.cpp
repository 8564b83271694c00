#include "common/file_path.h"

bool DirectoryOf(const std::string& path, std::string& directory)
{
    const std::string::size_type slash = path.rfind('\\');
    if (slash == std::string::npos)
        return false;
    directory = path.substr(0, slash);
    return true;
}
