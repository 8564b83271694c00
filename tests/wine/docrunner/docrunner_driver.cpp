// Runs docrunner.exe for real, the way the menu launcher starts it, with its
// standard output on a pipe. Stand-in programs take the place of the reader
// and of the program the shell associates with a document type; their records
// tell what they were started with.
#include "tests/wine/support/autorun_fixture.h"
#include "tests/wine/support/input.h"
#include "tests/wine/support/registry.h"
#include "tests/wine/support/stand_ins.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// One case's folders: `app` holds the copy of docrunner (and the reader when
// the case puts one there), `work` is the current directory docrunner runs
// in; the stand-ins' records go beside them, and every stand-in started
// during the case runs until it is released or the case ends.
class Setup {
public:
    explicit Setup(const std::string& name)
        : base(ScratchDirectory("docrunner_" + name)),
          app(base + "\\app"),
          work(base + "\\work"),
          standIns(base + "\\records")
    {
        CreateDirectoryA(app.c_str(), nullptr);
        CreateDirectoryA(work.c_str(), nullptr);
        docrunner = app + "\\docrunner.exe";
        REQUIRE(CopyFileTo(DOCRUNNER_EXE, docrunner));
    }

    // A document (as little of one as docrunner needs) at `path` below `work`.
    bool Document(const std::string& path) const { return WriteWholeFile(work + "\\" + path, "%PDF-1.4\n"); }
    bool PlaceStandIn(const std::string& path) const { return standIns.Place(path); }
    std::string Command(const std::string& arguments) const { return "\"" + docrunner + "\" " + arguments; }
    bool StartDocrunner(ChildProcess& child, const std::string& arguments)
    {
        return child.Start(Command(arguments), work);
    }

    const std::string base;
    const std::string app;
    const std::string work;
    StandIns standIns;
    std::string docrunner;
};

// Runs `commandLine` in the case's `work` folder: the stand-in `reader` must
// be started as `readerCommand` in that folder, and docrunner must wait for
// it and then end with 0. Returns what docrunner wrote.
std::string ExpectReaderAwaited(Setup& setup, const std::string& commandLine, const std::string& reader,
                                const std::string& readerCommand)
{
    ChildProcess docrunner;
    REQUIRE(docrunner.Start(commandLine, setup.work));
    StandInRecord record;
    REQUIRE(setup.standIns.WaitForRecord(reader, record));
    CHECK_EQ(record.commandLine, readerCommand);
    CHECK_EQ(record.directory, setup.work);
    CHECK(docrunner.Running());
    setup.standIns.Release();
    CHECK(docrunner.WaitForExit());
    CHECK_EQ(docrunner.ExitCode(), DWORD{0});
    return docrunner.Output();
}

// Runs docrunner where nothing can open the document (no association, no
// reader beside it) and returns its output, checking that it ends with 0.
std::string DebugOutput(const std::string& arguments)
{
    Setup setup("debug");
    const RunResult run = RunCaptured("\"" + setup.docrunner + "\"" + arguments, setup.work);
    CHECK(run.ended);
    CHECK_EQ(run.exitCode, DWORD{0});
    return run.output;
}

// A document type whose "open" verb starts a stand-in, registered in the
// build's own Wine prefix and removed afterwards. Windows reads per-user
// classes from HKCU\\Software\\Classes; Wine 8 does not merge those into its
// classes view, so there the machine-wide classes carry the type as well.
class Association {
public:
    // The stand-in "associated" in the case's base folder opens `extension`.
    Association(const Setup& setup, const std::string& extension)
        : program(setup.base + "\\associated.exe"), extension_(extension)
    {
        REQUIRE(setup.PlaceStandIn(program));
        const std::string command = "\"" + program + "\" \"%1\"";
        bool ok = Register(HKEY_CURRENT_USER, command);
        if (ok && !ReadRegistryValue(HKEY_CLASSES_ROOT, extension_, "").present)
            ok = Register(HKEY_LOCAL_MACHINE, command) && ReadRegistryValue(HKEY_CLASSES_ROOT, extension_, "").present;
        REQUIRE(ok);
    }

    const std::string program;

private:
    bool Register(HKEY root, const std::string& command)
    {
        const std::string classes = "Software\\Classes\\";
        keys_.emplace_back(new NewRegistryKey(root, classes + extension_));
        keys_.emplace_back(new NewRegistryKey(root, classes + Type));
        return WriteRegistryText(root, classes + extension_, "", Type) &&
               WriteRegistryText(root, classes + Type + "\\shell\\open\\command", "", command);
    }

    static constexpr const char* Type = "VelmoraTest.Document";
    std::string extension_;
    std::vector<std::unique_ptr<NewRegistryKey>> keys_;
};

// Wine's own prefix opens PDF documents with its browser bridge; while this
// lives, the type has no program, as on a machine without a PDF viewer.
class PdfTypeUnassociated {
public:
    PdfTypeUnassociated() { type_.Delete(); }

private:
    SavedRegistryValue type_{HKEY_LOCAL_MACHINE, "Software\\Classes\\.pdf", ""};
};

}  // namespace

WINE_TEST(debug_lines_for_each_entry)
{
    CHECK_EQ(DebugOutput(""), AsWritten("strDocument: \n"));
    CHECK_EQ(DebugOutput(" manual\\manual-de.none"),
             AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: manual\\manual-de.none\n"));
    // The runtime drops the blanks and control bytes after the program name.
    CHECK_EQ(DebugOutput(" \t  a.none"), AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: a.none\n"));
    CHECK_EQ(DebugOutput(" -owner:0x1F \"my doc.none\" r1.exe r2.exe"), AsWritten("pos: 0\ncmdline[pos].name: owner\n"
                                                                                  "pos: 1\ncmdline[pos].name: \n"
                                                                                  "pos: 2\ncmdline[pos].name: \n"
                                                                                  "pos: 3\ncmdline[pos].name: \n"
                                                                                  "strDocument: my doc.none\n"));
    CHECK_EQ(DebugOutput(" - -Owner:5 /v:1,2 \"\" -:x.none"), AsWritten("pos: 0\ncmdline[pos].name: \n"
                                                                        "pos: 1\ncmdline[pos].name: Owner\n"
                                                                        "pos: 2\ncmdline[pos].name: v\n"
                                                                        "pos: 3\ncmdline[pos].name: \n"
                                                                        "pos: 4\ncmdline[pos].name: \n"
                                                                        "strDocument: x.none\n"));
    // Trailing blanks beyond the first make one more, empty, entry.
    CHECK_EQ(DebugOutput(" a.none  "),
             AsWritten("pos: 0\ncmdline[pos].name: \npos: 1\ncmdline[pos].name: \nstrDocument: a.none\n"));
    CHECK_EQ(DebugOutput(" -owner:1 -v"),
             AsWritten("pos: 0\ncmdline[pos].name: owner\npos: 1\ncmdline[pos].name: v\nstrDocument: \n"));
}

WINE_TEST(associated_program_opens_the_document_and_docrunner_ends_at_once)
{
    Setup setup("associated");
    Association association(setup, ".velmoratest");
    // A reader beside docrunner must not be needed.
    REQUIRE(setup.PlaceStandIn(setup.app + "\\sumatrapdf.exe"));
    REQUIRE(setup.Document("doc.velmoratest"));

    ChildProcess docrunner;
    REQUIRE(setup.StartDocrunner(docrunner, "doc.velmoratest"));
    CHECK(docrunner.WaitForExit());
    CHECK_EQ(docrunner.ExitCode(), DWORD{0});
    CHECK_EQ(docrunner.Output(), AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: doc.velmoratest\n"));

    StandInRecord record;
    REQUIRE(setup.standIns.WaitForRecord("associated", record));
    // The shell resolved the relative path against docrunner's directory.
    CHECK_EQ(record.commandLine, "\"" + association.program + "\" \"" + setup.work + "\\doc.velmoratest\"");
    // docrunner did not wait for the program, which runs on.
    HANDLE associated = OpenProcess(SYNCHRONIZE, FALSE, record.processId);
    CHECK(associated != nullptr && WaitForSingleObject(associated, 0) == WAIT_TIMEOUT);
    if (associated != nullptr)
        CloseHandle(associated);
    CHECK(!setup.standIns.Has("sumatrapdf"));
}

WINE_TEST(reader_beside_docrunner_opens_the_document_and_docrunner_waits_for_it)
{
    Setup setup("reader");
    REQUIRE(setup.PlaceStandIn(setup.app + "\\sumatrapdf.exe"));
    REQUIRE(setup.Document("my manual.velmoranone"));

    // The document is handed over unquoted, as two words.
    CHECK_EQ(ExpectReaderAwaited(setup, setup.Command("\"my manual.velmoranone\""), "sumatrapdf",
                                 setup.app + "\\sumatrapdf.exe -restrict my manual.velmoranone"),
             AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: my manual.velmoranone\n"));
}

WINE_TEST(shipped_layout_starts_the_reader_on_the_relative_path)
{
    // The menu launcher runs software\pdfreader\docrunner.exe from its own
    // folder with a path relative to that folder.
    Setup setup("shipped");
    const std::string pdfreader = setup.work + "\\software\\pdfreader";
    CreateDirectoryA((setup.work + "\\software").c_str(), nullptr);
    CreateDirectoryA(pdfreader.c_str(), nullptr);
    CreateDirectoryA((setup.work + "\\manual").c_str(), nullptr);
    REQUIRE(CopyFileTo(setup.docrunner, pdfreader + "\\docrunner.exe"));
    REQUIRE(setup.PlaceStandIn(pdfreader + "\\sumatrapdf.exe"));
    REQUIRE(setup.Document("manual\\manual-de.velmoranone"));

    // A relative program path is found from the starting process's current
    // directory, as it is for the menu launcher.
    REQUIRE(SetCurrentDirectoryA(setup.work.c_str()));
    ExpectReaderAwaited(setup, "software\\pdfreader\\docrunner.exe manual\\manual-de.velmoranone", "sumatrapdf",
                        pdfreader + "\\sumatrapdf.exe -restrict manual\\manual-de.velmoranone");
}

WINE_TEST(reader_named_on_the_command_line_is_quoted_when_it_holds_blanks)
{
    Setup setup("named_reader");
    const std::string folder = setup.base + "\\my reader";
    CreateDirectoryA(folder.c_str(), nullptr);
    REQUIRE(setup.PlaceStandIn(folder + "\\viewer.exe"));

    ExpectReaderAwaited(setup, setup.Command("a.velmoranone \"" + folder + "\\viewer.exe\""), "viewer",
                        "\"" + folder + "\\viewer.exe\" -restrict a.velmoranone");
}

WINE_TEST(no_reader_beside_docrunner_ends_at_once)
{
    Setup setup("no_reader");
    REQUIRE(setup.Document("a.velmoranone"));
    const RunResult run = RunCaptured("\"" + setup.docrunner + "\" a.velmoranone", setup.work);
    CHECK(run.ended);
    CHECK_EQ(run.exitCode, DWORD{0});
    CHECK_EQ(run.output, AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: a.velmoranone\n"));
}

WINE_TEST(empty_reader_starts_nothing)
{
    // Two trailing blanks empty the reader: nothing is started, not even a
    // program named like the reader's first argument.
    Setup setup("empty_reader");
    REQUIRE(setup.PlaceStandIn(setup.app + "\\sumatrapdf.exe"));
    REQUIRE(setup.PlaceStandIn(setup.app + "\\-restrict.exe"));
    REQUIRE(setup.PlaceStandIn(setup.work + "\\-restrict.exe"));
    const RunResult run = RunCaptured("\"" + setup.docrunner + "\" a.velmoranone  ", setup.work);
    CHECK(run.ended);
    CHECK_EQ(run.exitCode, DWORD{0});
    CHECK(!setup.standIns.Has("sumatrapdf"));
    CHECK(!setup.standIns.Has("-restrict"));
}

WINE_TEST(menu_hotspot_opens_the_manual_in_the_reader)
{
    // The disc as shipped: autorun at the top, docrunner and the reader in
    // software\pdfreader, the manual in manual. The first hotspot of the
    // German menu starts docrunner on the German manual.
    Setup setup("end_to_end");
    const std::string disc = setup.base + "\\disc";
    const std::string pdfreader = disc + "\\software\\pdfreader";
    for (const std::string& folder : {disc, disc + "\\software", pdfreader, disc + "\\manual"})
        CreateDirectoryA(folder.c_str(), nullptr);
    REQUIRE(CopyFileTo(AUTORUN_EXE, disc + "\\autorun.exe"));
    REQUIRE(CopyFileTo(setup.docrunner, pdfreader + "\\docrunner.exe"));
    REQUIRE(setup.PlaceStandIn(pdfreader + "\\sumatrapdf.exe"));
    REQUIRE(WriteWholeFile(disc + "\\manual\\manual-de.pdf", "%PDF-1.4\n"));
    PdfTypeUnassociated noViewer;

    // Started from elsewhere: the launcher's own folder must be the one the
    // relative paths resolve in.
    Autorun launcher;
    REQUIRE(launcher.Start(disc + "\\autorun.exe", "-lang:de", setup.work) && launcher.WaitForWindow());
    PostClick(launcher.Window(), POINT{(75 + 258) / 2, (163 + 206) / 2});

    StandInRecord record;
    REQUIRE(setup.standIns.WaitForRecord("sumatrapdf", record));
    CHECK_EQ(record.commandLine, pdfreader + "\\sumatrapdf.exe -restrict manual\\manual-de.pdf");
    CHECK_EQ(record.directory, disc);

    setup.standIns.Release();
    CHECK(launcher.Close());
}

WINE_TEST(quoted_document_path_with_blanks_reaches_the_shell_as_one_path)
{
    Setup setup("blanks");
    Association association(setup, ".velmoratest");
    REQUIRE(setup.PlaceStandIn(setup.app + "\\sumatrapdf.exe"));
    REQUIRE(setup.Document("my manual.velmoratest"));

    const RunResult run = RunCaptured("\"" + setup.docrunner + "\" \"my manual.velmoratest\"", setup.work);
    CHECK(run.ended);
    CHECK_EQ(run.exitCode, DWORD{0});
    StandInRecord record;
    REQUIRE(setup.standIns.WaitForRecord("associated", record));
    // One document, whole: "%1" of the association received all of it.
    CHECK(record.args == std::vector<std::string>{setup.work + "\\my manual.velmoratest"});
    CHECK(!setup.standIns.Has("sumatrapdf"));
}

WINE_TEST(reader_named_without_a_folder_runs_in_docrunners_current_directory)
{
    // Found there by the platform's search, and started there: the reader's
    // relative document path means what it meant to docrunner.
    Setup setup("bare_reader");
    REQUIRE(setup.PlaceStandIn(setup.work + "\\reader.exe"));
    REQUIRE(setup.Document("a.velmoranone"));

    ExpectReaderAwaited(setup, setup.Command("a.velmoranone reader.exe"), "reader",
                        "reader.exe -restrict a.velmoranone");
    const std::vector<StandInRecord> started = setup.standIns.Records("reader");
    REQUIRE(started.size() == 1u);
    CHECK_EQ(started[0].program, setup.work + "\\reader.exe");
}
