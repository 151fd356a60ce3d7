#include "app/TaskWindow.h"

#include "app/ThreadTask.h"

namespace {

HWND g_taskWnd = nullptr;
constexpr wchar_t kClassName[] = L"ThreadSyn#Wnd";
constexpr wchar_t kMarker[] = L"obj";

}  // namespace

HWND CreateTaskWindow() {
    if (g_taskWnd) return g_taskWnd;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = TaskWindowProc;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
    g_taskWnd = ::CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    if (g_taskWnd) ::SetPropW(g_taskWnd, kMarker, &g_taskWnd);
    return g_taskWnd;
}

HWND TaskWindow() { return g_taskWnd; }

LRESULT CALLBACK TaskWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kTaskMessage && lp != 0 && ::GetPropW(wnd, kMarker)) {
        auto* task = reinterpret_cast<ThreadTask*>(lp);
        task->RunTask();
        if (!task->keep) delete task;
        return 1;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

void SendTask(std::unique_ptr<ThreadTask> task) {
    if (!g_taskWnd || !task) return;
    // The window procedure owns the task from here; it deletes it after
    // running it.
    ThreadTask* raw = task.release();
    if (!::SendMessageW(g_taskWnd, kTaskMessage, 0, reinterpret_cast<LPARAM>(raw))) {
        delete raw;  // never reached the procedure
    }
}

void PostTask(std::unique_ptr<ThreadTask> task) {
    if (!g_taskWnd || !task) return;
    ThreadTask* raw = task.release();
    if (!::PostMessageW(g_taskWnd, kTaskMessage, 0, reinterpret_cast<LPARAM>(raw))) delete raw;
}
