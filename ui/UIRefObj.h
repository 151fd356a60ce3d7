#pragma once
// Intrusive reference counting shared by controls, layouts, renders and the
// caret: an object starts with one reference owned by its creator.
#include <windows.h>

#include <utility>

class UIRefObj {
  public:
    UIRefObj() = default;
    UIRefObj(const UIRefObj&) = delete;
    UIRefObj& operator=(const UIRefObj&) = delete;
    virtual ~UIRefObj() = default;
    // Destroys and frees the object; called by the last Release. Out of
    // line: inlined through a base of a class with several bases, the
    // compiler sees a delete at an offset and warns of a bad free.
    virtual void DeleteSelf();

    void AddRef() { ::InterlockedIncrement(&refs_); }
    void Release() {
        if (::InterlockedDecrement(&refs_) == 0) DeleteSelf();
    }
    LONG RefCount() const { return refs_; }

  private:
    volatile LONG refs_ = 1;
};

// Holds one reference for its lifetime. Adopt takes over a reference the
// caller already owns (a new object); the constructor takes a new one.
template <typename T>
class UIRefPtr {
  public:
    UIRefPtr() = default;
    explicit UIRefPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    static UIRefPtr Adopt(T* p) {
        UIRefPtr r;
        r.p_ = p;
        return r;
    }
    ~UIRefPtr() { reset(); }
    UIRefPtr(const UIRefPtr& o) : UIRefPtr(o.p_) {}
    UIRefPtr& operator=(const UIRefPtr& o) {
        UIRefPtr(o).swap(*this);
        return *this;
    }
    UIRefPtr(UIRefPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    UIRefPtr& operator=(UIRefPtr&& o) noexcept {
        UIRefPtr(std::move(o)).swap(*this);
        return *this;
    }
    void swap(UIRefPtr& o) noexcept { std::swap(p_, o.p_); }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    // Gives up the reference without releasing it.
    T* release() { return std::exchange(p_, nullptr); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};
