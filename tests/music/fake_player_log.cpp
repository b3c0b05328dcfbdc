// Records what the stand-in player is asked to do. Its storage is never freed:
// a library still loaded at process exit reports its unloading after the
// executable's own destructors may already have run.
#include "fake_player_log.h"

#include <map>
#include <mutex>

namespace {

struct Log {
    std::mutex lock;
    std::vector<std::string> calls, dialogs;
    std::map<std::string, int64_t> results;
};

Log *const theLog = new Log;

// Runs what with the log locked.
template <typename What> auto Locked(What what) {
    std::lock_guard<std::mutex> guard(theLog->lock);
    return what(*theLog);
}

} // namespace

std::string FakePlayerPath(char tag) {
    return tag == 'a' ? FAKE_PLAYER_A_PATH : FAKE_PLAYER_B_PATH;
}

void FakePlayerReset() {
    Locked([](Log &log) {
        log.calls.clear();
        log.results.clear();
        log.dialogs.clear();
    });
}

void FakePlayerSetResult(const std::string &name, int64_t result) {
    Locked([&](Log &log) { log.results[name] = result; });
}

std::vector<std::string> FakePlayerCallTexts() {
    return Locked([](Log &log) { return log.calls; });
}

std::vector<std::string> CapturedDialogs() {
    return Locked([](Log &log) { return log.dialogs; });
}

extern "C" int64_t FakePlayerCall(const char *call) {
    return Locked([&](Log &log) -> int64_t {
        log.calls.push_back(call);
        std::string name = std::string(call).substr(0, std::string(call).find('('));
        auto scripted = log.results.find(name);
        if (scripted != log.results.end())
            return scripted->second;
        return name == "BASSMOD_ErrorGetCode" ? 0 : 1;
    });
}

// The dialogs, replaced at link time: this object comes before the runtime
// library, so the runtime's own dialogs are never linked into the tests.
int MessageDialog(const std::string &caption, const std::string &text, int flags) {
    std::string dialog = caption + "|" + text + "|" + std::to_string(flags);
    Locked([&](Log &log) { log.dialogs.push_back(dialog); });
    return flags == DIALOG_FLAGS_YES_NO ? DIALOG_YES : DIALOG_OK;
}

int NoticeDialog(const std::string &caption, const std::string &text, const std::string &) {
    return MessageDialog(caption, text, DIALOG_FLAGS_OK);
}
