// The test side of the stand-in player: a log of the calls it received (and of
// its unloading), scripted results, and the message dialogs, which the tests
// capture instead of showing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FakeCall {
    std::string tag;       // which build of the stand-in was called ("a" or "b")
    std::string name;      // the exported name, or "unload"
    std::string arguments; // comma-separated
    bool slotHeld;         // whether sound slot 0 held a library at the time
};

struct CapturedDialog {
    std::string caption;
    std::string text;
    int flags;
};

// Paths of the two builds: "a" exports every name, "b" lacks MusicPlay and
// ErrorGetCode.
std::string FakePlayerPath(char tag);

// Clears the log and the dialogs; every call then returns 1, except
// ErrorGetCode, which returns 0.
void FakePlayerReset();
void FakePlayerSetResult(const std::string &name, int64_t result);
std::vector<FakeCall> FakePlayerCalls();
// "name(arguments)" for each logged call, the unloads included.
std::vector<std::string> FakePlayerCallTexts();
std::vector<CapturedDialog> CapturedDialogs();
