// Message dialogs on Win32: MessageBoxA, modal to the calling thread's own
// windows, which are disabled while the box is up and enabled again after.
//
// A close request (Ctrl+C, the console closing, the shutdown) ends a box that
// is still waiting: a timer of the box's thread, served by the box's own
// message loop, answers it the safe way, so the process is never stuck in a
// box nobody answers.
#include <thread>
#include <vector>
#include <windows.h>

#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
constexpr UINT CLOSE_CHECK_MS = 50;
constexpr UINT BUTTON_TYPE_MASK = 0x0F;

struct ThreadWindows {
    DWORD thread;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableIfOurs(HWND window, LPARAM context) {
    auto *own = reinterpret_cast<ThreadWindows *>(context);
    if (GetWindowThreadProcessId(window, nullptr) == own->thread && IsWindowVisible(window) &&
        IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        own->disabled.push_back(window);
    }
    return TRUE;
}

// The foreground window when it is one of this process's, else no owner.
HWND ForegroundOwner() {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground != nullptr)
        GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId() ? foreground : nullptr;
}

BOOL CALLBACK EndIfMessageBox(HWND window, LPARAM answer) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0) // the dialog class of message boxes
        EndDialog(window, static_cast<INT_PTR>(answer));
    return TRUE;
}

// Runs inside the box's message loop on the box's thread.
void CALLBACK AnswerOnCloseRequest(HWND, UINT, UINT_PTR, DWORD) {
    if (CloseRequested())
        EnumThreadWindows(GetCurrentThreadId(), EndIfMessageBox, IDCANCEL);
}

int ShowBox(const std::string &caption, const std::string &text, int flags) {
    ThreadWindows own{GetCurrentThreadId(), {}};
    EnumWindows(DisableIfOurs, reinterpret_cast<LPARAM>(&own));
    UINT_PTR timer = SetTimer(nullptr, 0, CLOSE_CHECK_MS, AnswerOnCloseRequest);
    int button = MessageBoxA(ForegroundOwner(), text.c_str(), caption.c_str(),
                             static_cast<UINT>(flags) | MB_SETFOREGROUND);
    KillTimer(nullptr, timer);
    for (HWND window : own.disabled)
        EnableWindow(window, TRUE);
    return button;
}

// Only the buttons the box has count as answers; closing the box, Escape
// (IDCANCEL) or a failed box answer the safe way: No, or OK.
int Answer(int button, int flags) {
    bool yesNo = (static_cast<UINT>(flags) & BUTTON_TYPE_MASK) == MB_YESNO;
    if (yesNo)
        return button == IDYES ? DIALOG_YES : DIALOG_NO;
    return DIALOG_OK;
}
} // namespace

int MessageDialogMeanwhile(const std::string &caption, const std::string &text, int flags,
                           DialogMeanwhile meanwhile) {
    NoteDialogOpened();
    // The box blocks this thread, so the work meant for the user's reading
    // time runs on a helper thread of its own.
    std::thread helper;
    if (meanwhile != nullptr)
        helper = std::thread(meanwhile);
    int button = CloseRequested() ? IDCANCEL : ShowBox(caption, text, flags);
    if (helper.joinable())
        helper.join();
    NoteDialogClosed();
    return Answer(button, flags);
}
