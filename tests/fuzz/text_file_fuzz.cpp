// Arbitrary file contents through menucheck's line cutting. The line numbers
// are what an editor shows, counted in line feeds, and every finding of the
// checker points at them. The same bytes as a JSON string, as findings quote
// them, stay one valid JSON value.
#include "tests/fuzz/json_lines.h"
#include "disckit/menucheck/json_text.h"
#include "disckit/menucheck/text_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Where each editor line starts.
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            starts.push_back(i + 1);
    }

    // Script lines: each at the start of its editor line, ended by LF, CR LF,
    // or the end of the text (a CR there dropped as well); only an empty
    // piece after the last LF is left out.
    const std::vector<TextLine> lines = CutAtLineFeeds(text);
    int previous = 0;
    for (const TextLine& line : lines) {
        Check(line.number == previous + 1 && static_cast<std::size_t>(line.number) <= starts.size());
        previous = line.number;
        const std::size_t at = starts[line.number - 1];
        Check(text.compare(at, line.text.size(), line.text) == 0);
        const std::string rest = text.substr(at + line.text.size(), 2);
        Check(rest.empty() || rest[0] == '\n' || rest == "\r\n" || (rest == "\r" && at + line.text.size() + 1 == size));
    }
    const bool lastEmpty = size == 0 || text.back() == '\n' || (size - starts.back() == 1 && text.back() == '\r');
    Check(lines.size() == starts.size() - (lastEmpty ? 1 : 0));

    // The first bare LF, with its editor line number.
    const int bare = FirstBareLineFeed(text);
    std::size_t firstBare = std::string::npos;
    for (std::size_t i = 0; i < size && firstBare == std::string::npos; ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            firstBare = i;
    }
    if (firstBare == std::string::npos)
        Check(bare == 0);
    else
        Check(bare >= 1 && starts[bare - 1] <= firstBare && firstBare < starts[bare]);

    // Each byte comes out as itself, a replacement or an escape: never
    // dropped.
    const std::string quoted = JsonString(text);
    Check(json_lines::IsObjectLine("{\"m\": " + quoted + "}"));
    Check(quoted.size() >= size + 2);
    return 0;
}
