// The driver's side of the stand-in program (stand_in.cpp): placing copies of
// it under the names a program under test starts, and reading their records.
#pragma once

#include "tests/wine/support/test_support.h"

#include <string>
#include <vector>

// The stand-in program of this build.
std::string StandInProgram();

// One run of the stand-in: how it was started.
struct StandInRecord {
    std::string name;     // its file name without ".exe"
    std::string program;  // its full path
    std::string commandLine;
    std::string directory;  // its current directory
    std::vector<std::string> args;
    std::vector<std::string> windows;  // class names of the handles among args
    DWORD processId = 0;
};

// The stand-ins of one case: their records go to a folder of the case's own,
// and with `waiting` every one runs until Release() or the end of the case.
// At the end each recorded one has ended; none outlives its case.
class StandIns {
public:
    explicit StandIns(const std::string& recordsFolder, bool waiting = true);
    StandIns(const StandIns&) = delete;
    StandIns& operator=(const StandIns&) = delete;
    ~StandIns();

    // Puts a copy of the stand-in at `path`; true when it is there.
    bool Place(const std::string& path) const;
    // Every record so far, or those of the stand-in called `name`.
    std::vector<StandInRecord> Records(const std::string& name = "") const;
    bool Has(const std::string& name) const { return !Records(name).empty(); }
    bool WaitForRecords(std::size_t count, const std::string& name = "") const;
    // The first record of `name`, once there is one; false when none came.
    bool WaitForRecord(const std::string& name, StandInRecord& record) const;
    // Lets every waiting stand-in end and waits until each recorded one has.
    void Release();

private:
    std::string folder_;
    std::string stopName_;
    UniqueHandle stop_;
};
