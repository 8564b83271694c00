#include "tests/wine/support/stand_ins.h"

#include "tests/wine/support/stand_in_record.h"

#include <algorithm>
#include <cstdlib>

namespace {

StandInRecord ParseRecord(const std::string& text)
{
    StandInRecord record;
    std::string::size_type from = 0;
    for (std::string::size_type end; (end = text.find('\n', from)) != std::string::npos; from = end + 1) {
        const std::string line = text.substr(from, end - from);
        const std::string::size_type equals = line.find('=');
        const std::string key = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
        if (key == "program")
            record.program = value;
        else if (key == "commandline")
            record.commandLine = value;
        else if (key == "directory")
            record.directory = value;
        else if (key == "arg")
            record.args.push_back(value);
        else if (key == "window")
            record.windows.push_back(value);
        else if (key == "pid")
            record.processId = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
    }
    return record;
}

}  // namespace

std::string StandInProgram()
{
    return WindowsPath(STAND_IN_EXE);
}

StandIns::StandIns(const std::string& recordsFolder, bool waiting) : folder_(recordsFolder)
{
    CreateDirectoryA(folder_.c_str(), nullptr);
    SetEnvironmentVariableA(StandInRecordsVariable, folder_.c_str());
    // Named after this driver: drivers of parallel runs share the wineserver.
    static int cases = 0;
    stopName_ = "VelmoraStandInStop-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++cases);
    stop_.reset(CreateEventA(nullptr, TRUE, FALSE, stopName_.c_str()));
    SetEnvironmentVariableA(StandInStopVariable, waiting ? stopName_.c_str() : nullptr);
}

StandIns::~StandIns()
{
    Release();
    SetEnvironmentVariableA(StandInRecordsVariable, nullptr);
    SetEnvironmentVariableA(StandInStopVariable, nullptr);
}

bool StandIns::Place(const std::string& path) const
{
    return CopyFileTo(StandInProgram(), path);
}

std::vector<StandInRecord> StandIns::Records(const std::string& name) const
{
    std::vector<StandInRecord> records;
    WIN32_FIND_DATAA entry;
    const std::string pattern = folder_ + "\\" + (name.empty() ? std::string("*") : name + "-*") + ".txt";
    HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return records;
    do {
        const std::string file = entry.cFileName;
        std::string text;
        if (!ReadWholeFile(folder_ + "\\" + file, text))
            continue;
        StandInRecord record = ParseRecord(text);
        record.name = file.substr(0, file.rfind('-'));
        if (name.empty() || lstrcmpiA(record.name.c_str(), name.c_str()) == 0)
            records.push_back(record);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return records;
}

bool StandIns::WaitForRecords(std::size_t count, const std::string& name) const
{
    return WaitUntil([&] { return Records(name).size() >= count; });
}

bool StandIns::WaitForRecord(const std::string& name, StandInRecord& record) const
{
    std::vector<StandInRecord> found;
    if (!WaitUntil([&] { return !(found = Records(name)).empty(); }))
        return false;
    record = found.front();
    return true;
}

void StandIns::Release()
{
    if (stop_)
        SetEvent(stop_.get());
    for (const StandInRecord& record : Records()) {
        const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, record.processId));
        if (process)
            WaitForSingleObject(process.get(), 10000);
    }
}
