#include "ui/UIControlRegistry.h"

UIControlRegistry& UIControlRegistry::Instance() {
    // Never destroyed: controls held by static objects may unregister during
    // process exit, after function-local statics would be gone.
    static UIControlRegistry* registry = new UIControlRegistry();
    return *registry;
}

UIControlRegistry::UIControlRegistry() { ::InitializeCriticalSection(&lock_); }

UIControlRegistry::~UIControlRegistry() { ::DeleteCriticalSection(&lock_); }

uint32_t UIControlRegistry::Register(UIControl* control) {
    Lock lock(lock_);
    uint32_t handle = next_++;
    if (next_ == 0) next_ = 1;  // after 2^32 controls; 0 stays "none"
    controls_[handle] = control;
    return handle;
}

void UIControlRegistry::Unregister(uint32_t handle) {
    Lock lock(lock_);
    controls_.erase(handle);
}

UIControl* UIControlRegistry::Find(uint32_t handle) {
    if (handle == 0) return nullptr;
    Lock lock(lock_);
    auto it = controls_.find(handle);
    return it == controls_.end() ? nullptr : it->second;
}

size_t UIControlRegistry::Count() {
    Lock lock(lock_);
    return controls_.size();
}
