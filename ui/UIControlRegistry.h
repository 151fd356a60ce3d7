#pragma once
// The process-wide table from control handle to control. Components that
// must not keep raw pointers across messages keep handles and resolve them
// here each time; a handle is never given out twice.
#include <windows.h>

#include <cstdint>
#include <map>

class UIControl;

class UIControlRegistry {
  public:
    // Created on first use and kept for the life of the process.
    static UIControlRegistry& Instance();

    // Enters the control under the next handle and returns that handle.
    uint32_t Register(UIControl* control);
    void Unregister(uint32_t handle);
    // The live control with that handle, or null (always null for 0).
    UIControl* Find(uint32_t handle);
    size_t Count();

  private:
    UIControlRegistry();
    ~UIControlRegistry();

    // The one lock of the UI: controls are created and destroyed on the UI
    // thread, but lookups may come from anywhere.
    class Lock {
      public:
        explicit Lock(CRITICAL_SECTION& cs) : cs_(cs) { ::EnterCriticalSection(&cs_); }
        ~Lock() { ::LeaveCriticalSection(&cs_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

      private:
        CRITICAL_SECTION& cs_;
    };

    CRITICAL_SECTION lock_;
    uint32_t next_ = 1;
    std::map<uint32_t, UIControl*> controls_;
};
