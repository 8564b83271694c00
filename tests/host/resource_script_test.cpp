// menucheck's resource-script reader on scripts that include each other in a
// loop: the loop is reported once the depth limit is reached, and the reader
// does not then walk every other path through the loop as well.
#include "disckit/menucheck/resource_script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class IncludeLoops : public ::testing::Test {
protected:
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("velmora-include-loops-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    std::vector<Diagnostic> Read(const std::string& name, std::vector<ResourceEntry>* entries = nullptr)
    {
        std::vector<Diagnostic> diagnostics;
        std::vector<ResourceEntry> read = ReadResourceScript((dir / name).string(), {}, diagnostics);
        if (entries != nullptr)
            *entries = read;
        return diagnostics;
    }
};

// Each of these took 2^17 script reads and gave as many errors (three
// includes per script: 3^17, hours); the depth limit now ends the loop once.
TEST_F(IncludeLoops, AScriptIncludedTwiceInALoopIsReadOncePerLevel)
{
    Write("loop.rc", "#include \"loop.rc\"\n#include \"loop.rc\"\n");
    const std::vector<Diagnostic> diagnostics = Read("loop.rc");
    ASSERT_EQ(diagnostics.size(), 2u);
    for (const Diagnostic& diagnostic : diagnostics)
        EXPECT_EQ(diagnostic.text, "scripts include each other too deeply");

    Write("a.rc", "#include \"b.rc\"\n#include \"b.rc\"\n#include \"b.rc\"\n");
    Write("b.rc", "#include \"a.rc\"\n#include \"a.rc\"\n#include \"a.rc\"\n");
    EXPECT_EQ(Read("a.rc").size(), 3u);
}

TEST_F(IncludeLoops, IncludesOutsideTheLoopAreStillRead)
{
    Write("loop.rc", "#include \"loop.rc\"\n#include \"menus.rc\"\n");
    Write("menus.rc", "\"MENU\" RCDATA \"menu.txt\"\n");
    Write("menu.txt", "");
    std::vector<ResourceEntry> entries;
    Read("loop.rc", &entries);
    const ResourceEntry* main = FindResource(entries, "RCDATA", "MENU");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->file, (dir / "menu.txt").string());
}

}  // namespace
