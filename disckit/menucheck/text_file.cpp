#include "disckit/menucheck/text_file.h"

#include <fstream>

namespace {
constexpr std::size_t MaxFileSize = std::size_t{16} * 1024 * 1024;
}

bool ReadWholeFile(const std::string& path, std::string& out)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::string bytes;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
        if (bytes.size() > MaxFileSize)
            return false;
    }
    if (file.bad())
        return false;
    out.swap(bytes);
    return true;
}

std::vector<TextLine> CutAtLineFeeds(const std::string& text)
{
    std::vector<TextLine> lines;
    std::size_t start = 0;
    int number = 1;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!(last && line.empty()))
            lines.push_back({line, number});
        if (last)
            break;
        start = end + 1;
        ++number;
    }
    return lines;
}

int FirstBareLineFeed(const std::string& text)
{
    int number = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n')
            continue;
        if (i == 0 || text[i - 1] != '\r')
            return number;
        ++number;
    }
    return 0;
}
