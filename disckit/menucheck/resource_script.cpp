// Reads the menu resources' lines of a resource script. Only a handful of
// statement forms matter here; this is not a resource compiler.
#include "disckit/menucheck/resource_script.h"

#include "disckit/menucheck/text_file.h"

#include <cctype>
#include <filesystem>
#include <map>
#include <utility>

namespace {

constexpr int MaxIncludeDepth = 16;

struct Token {
    std::string text;
    bool quoted = false;
};

// Cuts one line into words and string literals, dropping comments;
// `inComment` carries a block comment over to the next line.
std::vector<Token> Tokens(const std::string& line, bool& inComment)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (inComment) {
            const std::size_t end = line.find("*/", i);
            if (end == std::string::npos)
                break;
            inComment = false;
            i = end + 2;
            continue;
        }
        const char c = line[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (line.compare(i, 2, "//") == 0) {
            break;
        } else if (line.compare(i, 2, "/*") == 0) {
            inComment = true;
            i += 2;
        } else if (c == '"') {
            Token token;
            token.quoted = true;
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                    token.text += '"';
                    ++i;
                } else if (line[i] == '"') {
                    ++i;
                    break;
                } else if (line[i] == '\\' && i + 1 < line.size()) {
                    token.text += line[++i];
                } else {
                    token.text += line[i];
                }
            }
            tokens.push_back(token);
        } else {
            Token token;
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])) && line[i] != '"')
                token.text += line[i++];
            tokens.push_back(token);
        }
    }
    return tokens;
}

std::string Resolve(const std::string& file, const std::string& scriptDir, const std::vector<std::string>& includeDirs)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::path(file).is_absolute())
        return fs::is_regular_file(file, error) ? file : std::string();
    std::vector<std::string> dirs{scriptDir};
    dirs.insert(dirs.end(), includeDirs.begin(), includeDirs.end());
    for (const std::string& dir : dirs) {
        std::string candidate = (fs::path(dir) / file).string();
        if (fs::is_regular_file(candidate, error))
            return candidate;
    }
    return std::string();
}

struct Reader {
    const std::vector<std::string>& includeDirs;
    std::vector<Diagnostic>& diagnostics;
    std::vector<ResourceEntry> entries;
    std::map<std::pair<std::string, std::string>, std::size_t> defined;  // by type and upper-case name
    std::vector<std::string> open;                                       // the scripts being read, outermost first
    bool tooDeep = false;                                                // the depth limit has been reported

    void Error(const std::string& file, int line, const std::string& code, const std::string& text)
    {
        diagnostics.emplace_back(file, line, Severity::Error, text, code);
    }

    void Read(const std::string& path, int depth)
    {
        std::string text;
        if (!ReadWholeFile(path, text)) {
            Error(path, 0, "unreadable-script", "cannot read the resource script");
            return;
        }
        ReadText(text, path, depth);
    }

    void ReadText(const std::string& text, const std::string& path, int depth)
    {
        const std::string dir = std::filesystem::path(path).parent_path().string();
        bool inComment = false;
        int lastStringLine = 0;  // a line whose last token was a string literal
        const std::vector<TextLine> lines = CutAtLineFeeds(text);
        open.push_back(path);
        for (const TextLine& line : lines) {
            const bool startedInComment = inComment;
            const std::vector<Token> tokens = Tokens(line.text, inComment);
            if (tokens.empty())
                continue;
            if (!startedInComment && tokens[0].text.rfind('#', 0) == 0 && !tokens[0].quoted) {
                lastStringLine = 0;
                if (tokens[0].text == "#include" && tokens.size() >= 2 && tokens[1].quoted)
                    Include(tokens[1].text, dir, path, line.number, depth);
                continue;
            }
            if (tokens[0].quoted && lastStringLine != 0) {
                Error(path, line.number, "quoted-name-joined",
                      "the resource compiler joins the quoted name \"" + tokens[0].text +
                          "\" with the string that ends line " + std::to_string(lastStringLine) +
                          "; write the name without quotes");
            }
            lastStringLine = tokens.back().quoted ? line.number : 0;
            if (tokens.size() < 3 || !tokens.back().quoted)
                continue;
            const std::string type = UpperCaseKey(tokens[1].text);
            if (type != "RCDATA" && type != "BITMAP")
                continue;
            Add(tokens[0].text, type, tokens.back().text, dir, path, line.number);
        }
        open.pop_back();
    }

    bool IsOpen(const std::string& script) const
    {
        std::error_code error;
        for (const std::string& path : open) {
            if (std::filesystem::equivalent(path, script, error))
                return true;
        }
        return false;
    }

    void Include(const std::string& file, const std::string& dir, const std::string& path, int line, int depth)
    {
        // Headers such as the resource ids hold no menu resources.
        if (file.size() < 3 || UpperCaseKey(file.substr(file.size() - 3)) != ".RC")
            return;
        const std::string resolved = Resolve(file, dir, includeDirs);
        if (resolved.empty()) {
            Error(path, line, "include-not-found", "included script \"" + file + "\" not found");
        } else if (depth >= MaxIncludeDepth) {
            Error(path, line, "include-too-deep", "scripts include each other too deeply");
            tooDeep = true;
        } else if (tooDeep && IsOpen(resolved)) {
            // A loop that has been followed to the limit once. Following each
            // of its other includes as well would read the scripts once per
            // path through the loop: exponentially often when a script
            // includes another one twice.
        } else {
            Read(resolved, depth + 1);
        }
    }

    void Add(const std::string& name, const std::string& type, const std::string& file, const std::string& dir,
             const std::string& path, int line)
    {
        const auto [position, first] = defined.emplace(std::make_pair(type, UpperCaseKey(name)), entries.size());
        if (!first) {
            const ResourceEntry* earlier = &entries[position->second];
            Error(path, line, "duplicate-resource",
                  type + " \"" + name + "\" is defined again; first on " + earlier->script + ":" +
                      std::to_string(earlier->line));
            return;
        }
        ResourceEntry entry{name, type, Resolve(file, dir, includeDirs), path, line};
        if (entry.file.empty())
            Error(path, line, "resource-file-missing", type + " \"" + name + "\": file \"" + file + "\" not found");
        entries.push_back(entry);
    }
};

}  // namespace

std::vector<ResourceEntry> ReadResourceScript(const std::string& path, const std::vector<std::string>& includeDirs,
                                              std::vector<Diagnostic>& diagnostics)
{
    Reader reader{includeDirs, diagnostics, {}, {}, {}, false};
    reader.Read(path, 0);
    return reader.entries;
}

std::vector<ResourceEntry> ReadResourceScriptText(const std::string& text, const std::string& path,
                                                  const std::vector<std::string>& includeDirs,
                                                  std::vector<Diagnostic>& diagnostics)
{
    Reader reader{includeDirs, diagnostics, {}, {}, {}, false};
    reader.ReadText(text, path, 0);
    return reader.entries;
}

std::string UpperCaseKey(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

const ResourceEntry* FindResource(const std::vector<ResourceEntry>& entries, const std::string& type,
                                  const std::string& name)
{
    const std::string wanted = UpperCaseKey(name);
    for (const ResourceEntry& entry : entries) {
        if (entry.type == type && UpperCaseKey(entry.name) == wanted)
            return &entry;
    }
    return nullptr;
}

ResourceIndex::ResourceIndex(const std::vector<ResourceEntry>& entries)
{
    for (const ResourceEntry& entry : entries)
        byName_.emplace(std::make_pair(entry.type, UpperCaseKey(entry.name)), &entry);
}

const ResourceEntry* ResourceIndex::Find(const std::string& type, const std::string& name) const
{
    const auto found = byName_.find(std::make_pair(type, UpperCaseKey(name)));
    return found == byName_.end() ? nullptr : found->second;
}
