// What follows a start, chosen from the shell's answer: wait for the started
// program, offer the open-with chooser, or show the error. Platform-free: the
// Win32 side hands over the answer's numbers and carries out the choice.
#pragma once

#include <cstdint>
#include <string>

// The two ways the shell says that no program opens the target: the thread's
// error code (Windows) and the instance value it hands back (Wine, and
// Windows alike).
constexpr std::uint32_t ErrorNoAssociation = 1155;
constexpr std::intptr_t ShellErrorNoAssociation = 31;

struct ShellAnswer {
    bool succeeded = false;
    bool hasProcess = false;          // a document opened by a running program has none
    std::uint32_t error = 0;          // the thread's error code after a failure
    std::intptr_t instanceValue = 0;  // what the shell left in the instance field
};

enum class StartOutcome {
    Nothing,        // started, nothing to wait for
    WatchProcess,   // busy until the started program is ready for input
    OfferOpenWith,  // ask the user for a program that opens the target
    ShowError,      // say why the start failed
};

StartOutcome ChooseStartOutcome(const ShellAnswer& answer);

// The parameters of rundll32.exe that open the chooser for `target`, taken as
// it stands, unquoted.
std::string OpenWithParameters(const std::string& target);

// The text of the error box: the system's text for `error` when it has one
// (`systemText` not empty), else ours with the number.
std::string StartErrorText(const std::string& systemText, std::uint32_t error);
