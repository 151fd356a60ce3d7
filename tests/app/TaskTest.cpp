// Tasks handed to the UI thread through the hidden task window.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/TaskWindow.h"
#include "app/ThreadTask.h"

namespace {

struct Probe {
    std::vector<std::string> events;
    DWORD runThread = 0;
};

class ProbeTask : public ThreadTask {
  public:
    ProbeTask(Probe& p, std::string name) : p_(p), name_(std::move(name)) {}
    ~ProbeTask() override { p_.events.push_back(name_ + " destroyed"); }
    void RunTask() override {
        p_.events.push_back(name_ + " ran");
        p_.runThread = ::GetCurrentThreadId();
    }

  private:
    Probe& p_;
    std::string name_;
};

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

class TaskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(CreateTaskWindow(), nullptr);
        PumpPending();
    }
};

TEST_F(TaskTest, TaskWindowIsCreatedOnceAndMarked) {
    HWND wnd = TaskWindow();
    EXPECT_EQ(CreateTaskWindow(), wnd);  // a second start-up reuses it
    wchar_t cls[64] = {};
    ::GetClassNameW(wnd, cls, 64);
    EXPECT_STREQ(cls, L"ThreadSyn#Wnd");
    EXPECT_NE(::GetPropW(wnd, L"obj"), nullptr);
    EXPECT_FALSE(::IsWindowVisible(wnd));
}

TEST_F(TaskTest, SentFromUiThreadRunsAndIsDestroyedBeforeReturn) {
    Probe p;
    SendTask(std::make_unique<ProbeTask>(p, "t"));
    EXPECT_EQ(p.events, (std::vector<std::string>{"t ran", "t destroyed"}));
    EXPECT_EQ(p.runThread, ::GetCurrentThreadId());
}

TEST_F(TaskTest, SentFromWorkerRunsOnUiThreadWhileWorkerWaits) {
    Probe p;
    std::atomic<bool> returned{false};
    std::atomic<size_t> eventsSeenByWorker{0};
    std::thread worker([&] {
        SendTask(std::make_unique<ProbeTask>(p, "w"));
        eventsSeenByWorker = p.events.size();
        returned = true;
    });
    const DWORD start = ::GetTickCount();
    while (!returned && ::GetTickCount() - start < 10000) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpPending();
    }
    worker.join();
    EXPECT_EQ(eventsSeenByWorker.load(), 2u);  // ran and destroyed before SendTask returned
    EXPECT_EQ(p.runThread, ::GetCurrentThreadId());
}

TEST_F(TaskTest, PostedTaskRunsInALaterLoopAfterEarlierMessages) {
    Probe p;
    // A message queued before the task must be handled before it.
    struct Marker {
        static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
            if (m == WM_APP + 1) {
                reinterpret_cast<Probe*>(lp)->events.push_back("earlier message");
                return 0;
            }
            return ::DefWindowProcW(w, m, wp, lp);
        }
    };
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Marker::Proc;
    wc.lpszClassName = L"TaskTestMarker";
    ::RegisterClassW(&wc);
    HWND marker = ::CreateWindowW(L"TaskTestMarker", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(marker, nullptr);
    ::PostMessageW(marker, WM_APP + 1, 0, reinterpret_cast<LPARAM>(&p));
    PostTask(std::make_unique<ProbeTask>(p, "posted"));
    EXPECT_TRUE(p.events.empty());  // nothing runs before a loop retrieves it
    PumpPending();
    EXPECT_EQ(p.events,
              (std::vector<std::string>{"earlier message", "posted ran", "posted destroyed"}));
    ::DestroyWindow(marker);
}

TEST_F(TaskTest, PostTaskCarriesItsValue) {
    int seen = 0;
    PostTask(std::make_unique<ThreadTaskPost<std::function<void(int)>>>(
        [&seen](int v) { seen = v; }, -3));
    PumpPending();
    EXPECT_EQ(seen, -3);
}

TEST_F(TaskTest, TaskMessageToUnmarkedWindowGoesToDefaultProcedure) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = TaskWindowProc;
    wc.lpszClassName = L"TaskTestUnmarked";
    ::RegisterClassW(&wc);
    HWND plain = ::CreateWindowW(L"TaskTestUnmarked", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    Probe p;
    ProbeTask task(p, "unmarked");
    EXPECT_EQ(::SendMessageW(plain, kTaskMessage, 0, reinterpret_cast<LPARAM>(&task)), 0);
    EXPECT_TRUE(p.events.empty());
    ::DestroyWindow(plain);
}

}  // namespace
