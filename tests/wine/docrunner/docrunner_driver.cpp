// Runs docrunner.exe for real, the way the menu launcher starts it, with its
// standard output on a pipe. Stand-in programs take the place of the reader
// and of the program the shell associates with a document type; their records
// tell what they were started with.
#include "tests/wine/docrunner/recorder.h"
#include "tests/wine/support/test_support.h"

#include <string>
#include <vector>

namespace {

struct Record {
    std::string commandLine;
    std::string directory;
    DWORD processId = 0;
};

// One case's folders: `app` holds the copy of docrunner (and the reader when
// the case puts one there), `work` is the current directory docrunner runs
// in, `records` receives what the stand-ins write. Stand-ins still running
// when the case ends are stopped and waited for.
class Setup {
public:
    explicit Setup(const std::string& name)
        : base(ScratchDirectory("docrunner_" + name)),
          app(base + "\\app"),
          work(base + "\\work"),
          records(base + "\\records")
    {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, StopEventName);
        ResetEvent(stop_);
        CreateDirectoryA(app.c_str(), nullptr);
        CreateDirectoryA(work.c_str(), nullptr);
        CreateDirectoryA(records.c_str(), nullptr);
        SetEnvironmentVariableA(RecordDirectoryVariable, records.c_str());
        docrunner = app + "\\docrunner.exe";
        copied_ = CopyFileTo(DOCRUNNER_EXE, docrunner);
    }
    ~Setup()
    {
        StopStandIns();
        CloseHandle(stop_);
    }
    Setup(const Setup&) = delete;
    Setup& operator=(const Setup&) = delete;

    bool Ready() const { return copied_ && stop_ != nullptr; }

    bool PlaceStandIn(const std::string& path) { return CopyFileTo(STAND_IN_EXE, path); }

    bool StartDocrunner(ChildProcess& child, const std::string& arguments)
    {
        return child.Start("\"" + docrunner + "\" " + arguments, work);
    }

    bool HasRecord(const std::string& name) const
    {
        return GetFileAttributesA(RecordPath(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // Waits for the stand-in `name` to report and reads its record.
    bool WaitForRecord(const std::string& name, Record& record)
    {
        if (!WaitUntil([&] { return HasRecord(name); }))
            return false;
        std::string bytes;
        if (!ReadWholeFile(RecordPath(name), bytes))
            return false;
        std::vector<std::string> lines;
        std::string::size_type start = 0;
        for (std::string::size_type end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(bytes.substr(start, end - start));
        if (lines.size() != 3)
            return false;
        record.commandLine = lines[0];
        record.directory = lines[1];
        record.processId = static_cast<DWORD>(std::stoul(lines[2]));
        started_.push_back(record.processId);
        return true;
    }

    void StopStandIns()
    {
        SetEvent(stop_);
        for (DWORD id : started_) {
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
            if (process != nullptr) {
                WaitForSingleObject(process, 10000);
                CloseHandle(process);
            }
        }
        started_.clear();
    }

    const std::string base;
    const std::string app;
    const std::string work;
    const std::string records;
    std::string docrunner;

private:
    std::string RecordPath(const std::string& name) const { return records + "\\" + name + ".txt"; }

    HANDLE stop_ = nullptr;
    bool copied_ = false;
    std::vector<DWORD> started_;
};

// Runs docrunner where nothing can open the document (no association, no
// reader beside it) and returns its output, checking that it ends with 0.
std::string DebugOutput(const std::string& arguments)
{
    Setup setup("debug");
    if (!setup.Ready())
        return "(no setup)";
    const RunResult run = RunCaptured("\"" + setup.docrunner + "\"" + arguments, setup.work);
    CHECK(run.ended);
    CHECK_EQ(run.exitCode, DWORD{0});
    return run.output;
}

// A document type whose "open" verb starts a stand-in, registered in the
// build's own Wine prefix and removed afterwards. Windows reads per-user
// classes from HKCU\Software\Classes; Wine 8 does not merge those into its
// classes view, so there the machine-wide classes carry the type as well.
class Association {
public:
    Association(const std::string& extension, const std::string& program) : extension_(extension)
    {
        const std::string command = "\"" + program + "\" \"%1\"";
        ok_ = Register(HKEY_CURRENT_USER, command);
        if (ok_ && !VisibleToTheShell())
            ok_ = Register(HKEY_LOCAL_MACHINE, command) && VisibleToTheShell();
    }
    ~Association()
    {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegDeleteTreeA(root, ("Software\\Classes\\" + extension_).c_str());
            RegDeleteTreeA(root, ("Software\\Classes\\" + std::string(Type)).c_str());
        }
    }
    Association(const Association&) = delete;
    Association& operator=(const Association&) = delete;

    bool Ok() const { return ok_; }

private:
    static constexpr const char* Type = "VelmoraTest.Document";

    bool Register(HKEY root, const std::string& command) const
    {
        return SetDefault(root, "Software\\Classes\\" + extension_, Type) &&
               SetDefault(root, "Software\\Classes\\" + std::string(Type) + "\\shell\\open\\command", command);
    }

    bool VisibleToTheShell() const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    static bool SetDefault(HKEY root, const std::string& key, const std::string& value)
    {
        HKEY handle = nullptr;
        if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS)
            return false;
        UniqueRegKey owner(handle);
        return RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    }

    std::string extension_;
    bool ok_ = false;
};

// Wine's own prefix opens PDF documents with its browser bridge; while this
// lives, the type has no program, as on a machine without a PDF viewer.
class PdfTypeUnassociated {
public:
    PdfTypeUnassociated()
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.pdf", 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        char value[256] = {};
        DWORD size = sizeof value - 1;
        DWORD type = 0;
        if (RegQueryValueExA(key_, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            saved_ = value;
            RegDeleteValueA(key_, nullptr);
        }
    }
    ~PdfTypeUnassociated()
    {
        if (key_ == nullptr)
            return;
        if (!saved_.empty())
            RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_.c_str()),
                           static_cast<DWORD>(saved_.size() + 1));
        RegCloseKey(key_);
    }
    PdfTypeUnassociated(const PdfTypeUnassociated&) = delete;
    PdfTypeUnassociated& operator=(const PdfTypeUnassociated&) = delete;

private:
    HKEY key_ = nullptr;
    std::string saved_;
};

}  // namespace

WINE_TEST(debug_lines_for_each_entry)
{
    CHECK_EQ(DebugOutput(""), AsWritten("strDocument: \n"));
    CHECK_EQ(DebugOutput(" manual\\manual-de.none"),
             AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: manual\\manual-de.none\n"));
    // The runtime drops the blanks and control bytes after the program name.
    CHECK_EQ(DebugOutput(" \t  a.none"), AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: a.none\n"));
    CHECK_EQ(DebugOutput(" -owner:0x1F \"my doc.none\" r1.exe r2.exe"),
             AsWritten("pos: 0\ncmdline[pos].name: owner\n"
                       "pos: 1\ncmdline[pos].name: \n"
                       "pos: 2\ncmdline[pos].name: \n"
                       "pos: 3\ncmdline[pos].name: \n"
                       "strDocument: my doc.none\n"));
    CHECK_EQ(DebugOutput(" - -Owner:5 /v:1,2 \"\" -:x.none"),
             AsWritten("pos: 0\ncmdline[pos].name: \n"
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
    REQUIRE(setup.Ready());
    const std::string program = setup.base + "\\associated.exe";
    REQUIRE(setup.PlaceStandIn(program));
    // A reader beside docrunner must not be needed.
    REQUIRE(setup.PlaceStandIn(setup.app + "\\sumatrapdf.exe"));
    REQUIRE(WriteWholeFile(setup.work + "\\doc.velmoratest", "%PDF-1.4\n"));
    Association association(".velmoratest", program);
    REQUIRE(association.Ok());

    ChildProcess docrunner;
    REQUIRE(setup.StartDocrunner(docrunner, "doc.velmoratest"));
    CHECK(docrunner.WaitForExit());
    CHECK_EQ(docrunner.ExitCode(), DWORD{0});
    CHECK_EQ(docrunner.Output(), AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: doc.velmoratest\n"));

    Record record;
    REQUIRE(setup.WaitForRecord("associated", record));
    // The shell resolved the relative path against docrunner's directory.
    CHECK_EQ(record.commandLine, "\"" + program + "\" \"" + setup.work + "\\doc.velmoratest\"");
    // docrunner did not wait for the program, which runs on.
    HANDLE associated = OpenProcess(SYNCHRONIZE, FALSE, record.processId);
    CHECK(associated != nullptr && WaitForSingleObject(associated, 0) == WAIT_TIMEOUT);
    if (associated != nullptr)
        CloseHandle(associated);
    CHECK(!setup.HasRecord("sumatrapdf"));
}

WINE_TEST(reader_beside_docrunner_opens_the_document_and_docrunner_waits_for_it)
{
    Setup setup("reader");
    REQUIRE(setup.Ready());
    REQUIRE(setup.PlaceStandIn(setup.app + "\\sumatrapdf.exe"));
    REQUIRE(WriteWholeFile(setup.work + "\\my manual.velmoranone", "%PDF-1.4\n"));

    ChildProcess docrunner;
    REQUIRE(setup.StartDocrunner(docrunner, "\"my manual.velmoranone\""));
    Record record;
    REQUIRE(setup.WaitForRecord("sumatrapdf", record));
    // The document is handed over unquoted, as two words.
    CHECK_EQ(record.commandLine, setup.app + "\\sumatrapdf.exe -restrict my manual.velmoranone");
    CHECK_EQ(record.directory, setup.work);
    CHECK(docrunner.Running());

    setup.StopStandIns();
    CHECK(docrunner.WaitForExit());
    CHECK_EQ(docrunner.ExitCode(), DWORD{0});
    CHECK_EQ(docrunner.Output(), AsWritten("pos: 0\ncmdline[pos].name: \nstrDocument: my manual.velmoranone\n"));
}

WINE_TEST(shipped_layout_starts_the_reader_on_the_relative_path)
{
    // The menu launcher runs software\pdfreader\docrunner.exe from its own
    // folder with a path relative to that folder.
    Setup setup("shipped");
    REQUIRE(setup.Ready());
    const std::string pdfreader = setup.work + "\\software\\pdfreader";
    CreateDirectoryA((setup.work + "\\software").c_str(), nullptr);
    CreateDirectoryA(pdfreader.c_str(), nullptr);
    CreateDirectoryA((setup.work + "\\manual").c_str(), nullptr);
    REQUIRE(CopyFileTo(setup.docrunner, pdfreader + "\\docrunner.exe"));
    REQUIRE(setup.PlaceStandIn(pdfreader + "\\sumatrapdf.exe"));
    REQUIRE(WriteWholeFile(setup.work + "\\manual\\manual-de.velmoranone", "%PDF-1.4\n"));

    // A relative program path is found from the starting process's current
    // directory, as it is for the menu launcher.
    REQUIRE(SetCurrentDirectoryA(setup.work.c_str()));
    ChildProcess docrunner;
    REQUIRE(docrunner.Start("software\\pdfreader\\docrunner.exe manual\\manual-de.velmoranone", setup.work));
    Record record;
    REQUIRE(setup.WaitForRecord("sumatrapdf", record));
    CHECK_EQ(record.commandLine, pdfreader + "\\sumatrapdf.exe -restrict manual\\manual-de.velmoranone");
    CHECK_EQ(record.directory, setup.work);
    setup.StopStandIns();
    CHECK(docrunner.WaitForExit());
    CHECK_EQ(docrunner.ExitCode(), DWORD{0});
}

WINE_TEST(reader_named_on_the_command_line_is_quoted_when_it_holds_blanks)
{
    Setup setup("named_reader");
    REQUIRE(setup.Ready());
    const std::string folder = setup.base + "\\my reader";
    CreateDirectoryA(folder.c_str(), nullptr);
    REQUIRE(setup.PlaceStandIn(folder + "\\viewer.exe"));

    ChildProcess docrunner;
    REQUIRE(setup.StartDocrunner(docrunner, "a.velmoranone \"" + folder + "\\viewer.exe\""));
    Record record;
    REQUIRE(setup.WaitForRecord("viewer", record));
    CHECK_EQ(record.commandLine, "\"" + folder + "\\viewer.exe\" -restrict a.velmoranone");
    CHECK_EQ(record.directory, setup.work);
    setup.StopStandIns();
    CHECK(docrunner.WaitForExit());
    CHECK_EQ(docrunner.ExitCode(), DWORD{0});
}

WINE_TEST(no_reader_beside_docrunner_ends_at_once)
{
    Setup setup("no_reader");
    REQUIRE(setup.Ready());
    REQUIRE(WriteWholeFile(setup.work + "\\a.velmoranone", "%PDF-1.4\n"));
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
    REQUIRE(setup.Ready());
    REQUIRE(setup.PlaceStandIn(setup.app + "\\sumatrapdf.exe"));
    REQUIRE(setup.PlaceStandIn(setup.app + "\\-restrict.exe"));
    REQUIRE(setup.PlaceStandIn(setup.work + "\\-restrict.exe"));
    const RunResult run = RunCaptured("\"" + setup.docrunner + "\" a.velmoranone  ", setup.work);
    CHECK(run.ended);
    CHECK_EQ(run.exitCode, DWORD{0});
    CHECK(!setup.HasRecord("sumatrapdf"));
    CHECK(!setup.HasRecord("-restrict"));
}

WINE_TEST(menu_hotspot_opens_the_manual_in_the_reader)
{
    // The disc as shipped: autorun at the top, docrunner and the reader in
    // software\pdfreader, the manual in manual. The first hotspot of the
    // German menu starts docrunner on the German manual.
    Setup setup("end_to_end");
    REQUIRE(setup.Ready());
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
    ChildProcess launcher;
    REQUIRE(launcher.Start("\"" + disc + "\\autorun.exe\" -lang:de", setup.work));
    HWND window = WaitForProcessWindow(launcher.Id(), "VelmoraAutorunClass");
    REQUIRE(window != nullptr);
    const LPARAM manualButton = MAKELPARAM((75 + 258) / 2, (163 + 206) / 2);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, manualButton);
    PostMessageA(window, WM_LBUTTONUP, 0, manualButton);

    Record record;
    REQUIRE(setup.WaitForRecord("sumatrapdf", record));
    CHECK_EQ(record.commandLine, pdfreader + "\\sumatrapdf.exe -restrict manual\\manual-de.pdf");
    CHECK_EQ(record.directory, disc);

    setup.StopStandIns();
    PostMessageA(window, WM_CLOSE, 0, 0);
    CHECK(launcher.WaitForExit());
    CHECK_EQ(launcher.ExitCode(), DWORD{0});
}
