#include "docrunner/document_arguments.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kModule[] = "D:\\software\\pdfreader\\docrunner.exe";
const char kDefaultReader[] = "D:\\software\\pdfreader\\sumatrapdf.exe";
const std::uintptr_t kDesktop = 0x10010;

DocumentArguments Read(const char* text)
{
    return ReadDocumentArguments(text, kModule, kDesktop);
}

std::string Output(const DocumentArguments& arguments)
{
    std::string text;
    for (const std::string& line : arguments.debugLines)
        text += line;
    return text;
}

TEST(DocumentArguments, DefaultReaderLiesInTheModulesFolderUpToItsLastBackslash)
{
    const auto readerFor = [](const char* module) {
        return ReadDocumentArguments("a.pdf", module, kDesktop).strReader;
    };
    EXPECT_EQ(readerFor(kModule), kDefaultReader);
    EXPECT_EQ(readerFor("docrunner.exe"), "sumatrapdf.exe");
    EXPECT_EQ(readerFor("/tmp/x/docrunner.exe"), "sumatrapdf.exe");
    EXPECT_EQ(readerFor("D:\\a/b.exe"), "D:\\sumatrapdf.exe");
    EXPECT_EQ(readerFor(""), "sumatrapdf.exe");
}

TEST(DocumentArguments, DebugLinesDescribeEachEntry)
{
    DocumentArguments shipped = Read("manual\\manual-de.pdf");
    EXPECT_EQ(Output(shipped), "pos: 0\ncmdline[pos].name: \nstrDocument: manual\\manual-de.pdf\n");
    EXPECT_EQ(shipped.strDocument, "manual\\manual-de.pdf");
    EXPECT_EQ(shipped.strReader, kDefaultReader);
    EXPECT_EQ(shipped.hwndOwner, kDesktop);

    DocumentArguments empty = Read("");
    EXPECT_EQ(Output(empty), "strDocument: \n");
    EXPECT_EQ(empty.strDocument, "");

    EXPECT_EQ(Output(Read("-owner:0x1F a.pdf -v")),
              "pos: 0\ncmdline[pos].name: owner\n"
              "pos: 1\ncmdline[pos].name: \n"
              "pos: 2\ncmdline[pos].name: v\n"
              "strDocument: a.pdf\n");
}

TEST(DocumentArguments, FirstPositionalIsTheDocumentLaterOnesTheReader)
{
    DocumentArguments one = Read("a.pdf C:\\tools\\reader.exe");
    EXPECT_EQ(one.strDocument, "a.pdf");
    EXPECT_EQ(one.strReader, "C:\\tools\\reader.exe");

    EXPECT_EQ(Read("a.pdf r1.exe r2.exe").strReader, "r2.exe");
    // A reader named without a folder stays so: the platform looks for it
    // from docrunner's current directory, not beside docrunner.
    EXPECT_EQ(Read("a.pdf reader.exe").strReader, "reader.exe");

    // An empty value leaves the document to the next positional argument.
    DocumentArguments quotes = Read("\"\" a.pdf");
    EXPECT_EQ(quotes.strDocument, "a.pdf");
    EXPECT_EQ(quotes.strReader, kDefaultReader);

    DocumentArguments blanks = Read("\"C:\\My Files\\a.pdf\"");
    EXPECT_EQ(blanks.strDocument, "C:\\My Files\\a.pdf");

    // Only the name is tested, so -:x counts as a positional argument.
    EXPECT_EQ(Read("-:x").strDocument, "x");
    EXPECT_EQ(Read("a.pdf -:r.exe").strReader, "r.exe");
}

TEST(DocumentArguments, BlanksAndLonePrefixes)
{
    // A lone prefix is skipped without ending the walk.
    DocumentArguments dash = Read("- a.pdf");
    EXPECT_EQ(dash.strDocument, "a.pdf");
    EXPECT_EQ(dash.strReader, kDefaultReader);
    EXPECT_EQ(Output(dash), "pos: 0\ncmdline[pos].name: \npos: 1\ncmdline[pos].name: \nstrDocument: a.pdf\n");

    // Two trailing blanks add an empty positional value, which empties the reader.
    DocumentArguments two = Read("a.pdf  ");
    EXPECT_EQ(two.strDocument, "a.pdf");
    EXPECT_EQ(two.strReader, "");
    EXPECT_EQ(Read("a.pdf ").strReader, kDefaultReader);

    // Only options, or only empty values: no document.
    EXPECT_EQ(Read("-owner:1 -v").strDocument, "");
    EXPECT_EQ(Read("\"\" \"\"").strDocument, "");
    EXPECT_EQ(Read("    ").strDocument, "");
}

TEST(DocumentArguments, OwnerNumberInAnyBase)
{
    EXPECT_EQ(Read("-owner:0x1F a.pdf").hwndOwner, 31u);
    EXPECT_EQ(Read("a.pdf /owner:0X1f").hwndOwner, 31u);
    EXPECT_EQ(Read("a.pdf -owner:017").hwndOwner, 15u);
    EXPECT_EQ(Read("a.pdf -owner:42").hwndOwner, 42u);
    EXPECT_EQ(Read("a.pdf -owner:abc").hwndOwner, 0u);
    EXPECT_EQ(Read("a.pdf -owner:").hwndOwner, kDesktop);
    EXPECT_EQ(Read("a.pdf -owner").hwndOwner, kDesktop);
    EXPECT_EQ(Read("a.pdf -Owner:5").hwndOwner, kDesktop);
    // Of several values the first counts; the last option wins.
    EXPECT_EQ(Read("a.pdf -owner:7,9").hwndOwner, 7u);
    EXPECT_EQ(Read("-owner:7 a.pdf -owner:8").hwndOwner, 8u);
    // An owner option never touches document or reader.
    DocumentArguments owner = Read("-owner:0x1F");
    EXPECT_EQ(owner.strDocument, "");
    EXPECT_EQ(owner.strReader, kDefaultReader);
}

}  // namespace
