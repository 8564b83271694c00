#include "common/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Entry {
    std::string name;
    std::vector<std::string> values;
    bool operator==(const Entry& other) const { return name == other.name && values == other.values; }
};

void PrintTo(const Entry& entry, std::ostream* out)
{
    *out << "{name '" << entry.name << "', values";
    for (const std::string& value : entry.values)
        *out << " '" << value << "'";
    *out << "}";
}

// The entries before the end marker; also checks that exactly one end marker
// closes the sequence.
std::vector<Entry> Parse(const char* text)
{
    CommandLine line(text);
    std::vector<Entry> entries;
    EXPECT_GE(line.size(), 1u);
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const CommandLineOption& option = line.OptionAt(i);
        EXPECT_TRUE(option.valid) << "entry " << i;
        entries.push_back({option.name, option.values});
    }
    const CommandLineOption& last = line.OptionAt(line.size() - 1);
    EXPECT_FALSE(last.valid);
    EXPECT_TRUE(last.token.empty());
    EXPECT_TRUE(last.name.empty());
    EXPECT_TRUE(last.values.empty());
    return entries;
}

using Entries = std::vector<Entry>;

TEST(CommandLine, ExamplesOfOptionsAndValues)
{
    EXPECT_EQ(Parse(""), Entries{});
    EXPECT_EQ(Parse("-lang:de"), (Entries{{"lang", {"de"}}}));
    EXPECT_EQ(Parse("/lang:de,en"), (Entries{{"lang", {"de", "en"}}}));
    EXPECT_EQ(Parse("-v"), (Entries{{"v", {}}}));
    EXPECT_EQ(Parse("-lang:"), (Entries{{"lang", {}}}));
    EXPECT_EQ(Parse("a.pdf  -x"), (Entries{{"", {"a.pdf"}}, {"x", {}}}));
    EXPECT_EQ(Parse("-x:\"a,b\",c"), (Entries{{"x", {"a,b", "c"}}}));
    EXPECT_EQ(Parse("-x:a,,b,"), (Entries{{"x", {"a", "", "b"}}}));
    EXPECT_EQ(Parse("-dir:C:\\x"), (Entries{{"dir", {"C:\\x"}}}));
}

TEST(CommandLine, QuotesGroupBlanksAndAreRemovedOnlyAtTheEnds)
{
    EXPECT_EQ(Parse("\"C:\\My Files\\a.pdf\""), (Entries{{"", {"C:\\My Files\\a.pdf"}}}));
    // An unclosed quote runs to the end of the text.
    EXPECT_EQ(Parse("\"C:\\My Files\\a.pdf"), (Entries{{"", {"C:\\My Files\\a.pdf"}}}));
    EXPECT_EQ(Parse("a\"b c\"d"), (Entries{{"", {"a\"b c\"d"}}}));
    // A quote before the colon makes the colon part of the name.
    EXPECT_EQ(Parse("-\"a:b\""), (Entries{{"\"a:b\"", {}}}));
    // Names keep their quotes; only values lose them.
    EXPECT_EQ(Parse("-\"x\""), (Entries{{"\"x\"", {}}}));
    // Three quotes: begins and ends with one, so both ends go.
    EXPECT_EQ(Parse("\"a\"b\""), (Entries{{"", {"a\"b"}}}));
    // One quote that does not open the value stays.
    EXPECT_EQ(Parse("ab\""), (Entries{{"", {"ab\""}}}));
    EXPECT_EQ(Parse("\"\""), (Entries{{"", {""}}}));
    EXPECT_EQ(Parse("\""), (Entries{{"", {""}}}));
    // A quoted value keeps a comma and a colon; the quote count restarts per value.
    EXPECT_EQ(Parse("-x:\"a:b\",\"c"), (Entries{{"x", {"a:b", "c"}}}));
    // A backslash is no escape: the quote after it closes the group.
    EXPECT_EQ(Parse("\"a\\\" b\""), (Entries{{"", {"a\\"}}, {"", {"b\""}}}));
}

TEST(CommandLine, TokenIsKeptAsWritten)
{
    CommandLine line("  -x:\"a b\",c  \"d e\" f");
    ASSERT_EQ(line.size(), 4u);
    EXPECT_EQ(line.OptionAt(0).token, "-x:\"a b\",c");
    EXPECT_EQ(line.OptionAt(1).token, "\"d e\"");
    EXPECT_EQ(line.OptionAt(2).token, "f");
}

TEST(CommandLine, BlanksAroundTokens)
{
    EXPECT_EQ(Parse("   a"), (Entries{{"", {"a"}}}));
    EXPECT_EQ(Parse("a "), (Entries{{"", {"a"}}}));
    // Beyond the single blank that ends a token, trailing blanks make one
    // empty positional argument.
    EXPECT_EQ(Parse("a  "), (Entries{{"", {"a"}}, {"", {""}}}));
    EXPECT_EQ(Parse("a     "), (Entries{{"", {"a"}}, {"", {""}}}));
    EXPECT_EQ(Parse(" "), (Entries{{"", {""}}}));
    EXPECT_EQ(Parse("    "), (Entries{{"", {""}}}));
    CommandLine blanks("a  ");
    ASSERT_EQ(blanks.size(), 3u);
    EXPECT_TRUE(blanks.OptionAt(1).valid);
    EXPECT_EQ(blanks.OptionAt(1).token, "");
    // Tabs and other white space are ordinary bytes.
    EXPECT_EQ(Parse("a\tb\r\nc"), (Entries{{"", {"a\tb\r\nc"}}}));
}

TEST(CommandLine, PrefixOnlyTokens)
{
    EXPECT_EQ(Parse("-"), (Entries{{"", {}}}));
    EXPECT_EQ(Parse("/"), (Entries{{"", {}}}));
    EXPECT_EQ(Parse("-:"), (Entries{{"", {}}}));
    EXPECT_EQ(Parse("-:a"), (Entries{{"", {"a"}}}));
    // A leading slash always makes an option, even for a path.
    EXPECT_EQ(Parse("/tmp/a.pdf"), (Entries{{"tmp/a.pdf", {}}}));
    // A prefix later in the token is ordinary.
    EXPECT_EQ(Parse("a-b:c"), (Entries{{"", {"a-b:c"}}}));
}

TEST(CommandLine, TextEndsAtNul)
{
    const char text[] = "a\0b";
    EXPECT_EQ(Parse(text), (Entries{{"", {"a"}}}));
    EXPECT_EQ(Parse(nullptr), Entries{});
}

TEST(CommandLine, FindOption)
{
    CommandLine line("x.pdf -lang:de -LANG:fr -lang:en,it -v");
    EXPECT_EQ(line.FindOption("lang").values, (std::vector<std::string>{"de"}));
    EXPECT_EQ(line.FindOption("LANG").values, (std::vector<std::string>{"fr"}));
    EXPECT_EQ(line.FindOption("v").token, "-v");
    EXPECT_EQ(line.FindOption("").values, (std::vector<std::string>{"x.pdf"}));

    const CommandLineOption& missing = line.FindOption("Lang");
    EXPECT_FALSE(missing.valid);
    EXPECT_TRUE(missing.values.empty());
    EXPECT_EQ(&missing, &line.OptionAt(line.size() - 1));

    CommandLine upper("-LANG:de");
    EXPECT_FALSE(upper.FindOption("lang").valid);

    // The end marker's empty name is never matched.
    CommandLine empty("");
    EXPECT_FALSE(empty.FindOption("").valid);
    EXPECT_FALSE(empty.FindOption("lang").valid);
    EXPECT_EQ(empty.size(), 1u);
}

TEST(CommandLine, OptionAtPastTheEndGivesTheEndMarker)
{
    CommandLine line("a b");
    ASSERT_EQ(line.size(), 3u);
    const CommandLineOption& marker = line.OptionAt(2);
    EXPECT_FALSE(marker.valid);
    EXPECT_EQ(&line.OptionAt(3), &marker);
    EXPECT_EQ(&line.OptionAt(static_cast<std::size_t>(-1)), &marker);
}

TEST(CommandLine, LongTextParsesWhole)
{
    std::string text(32 * 1024, 'x');
    text[100] = ' ';
    text[101] = '"';
    CommandLine line(text.c_str());
    ASSERT_EQ(line.size(), 3u);
    EXPECT_EQ(line.OptionAt(0).values[0].size(), 100u);
    EXPECT_EQ(line.OptionAt(1).values[0].size(), text.size() - 102);
}

}  // namespace
