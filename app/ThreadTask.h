#pragma once
// Work handed to the UI thread through the hidden task window.
#include <memory>
#include <string>
#include <utility>

// Run on the UI thread by the task window, then deleted unless keep is set.
class ThreadTask {
  public:
    virtual ~ThreadTask() = default;
    virtual void RunTask() {}
    bool keep = false;
};

// Refers to the sender's callable and values: only valid with SendTask,
// where the sender waits until the task has run.
template <typename F>
class ThreadTaskTemp : public ThreadTask {
  public:
    ThreadTaskTemp(F& fn, const std::wstring& text, const int& a, const int& b)
        : fn_(fn), text_(text), a_(a), b_(b) {}
    void RunTask() override { fn_(std::wstring(text_), a_, b_); }

  private:
    F& fn_;
    const std::wstring& text_;
    const int& a_;
    const int& b_;
};

// Owns its callable and value: safe to queue with PostTask.
template <typename F>
class ThreadTaskPost : public ThreadTask {
  public:
    ThreadTaskPost(F fn, int value) : fn_(std::move(fn)), value_(value) {}
    void RunTask() override { fn_(value_); }

  private:
    F fn_;
    int value_;
};

// The task message: wParam 0, lParam the task's address.
constexpr unsigned kTaskMessage = 0x8065;

// Runs the task on the UI thread and returns when it has run and been
// destroyed (at once when called on the UI thread). Without a task window
// the task is dropped unrun.
void SendTask(std::unique_ptr<ThreadTask> task);
// Queues the task for the UI thread's next message loop and returns at once.
void PostTask(std::unique_ptr<ThreadTask> task);
