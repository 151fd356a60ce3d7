// The modal loop: ended by a default button, by EndModal before it starts
// and by the quit message; the owner is disabled while it runs.
#include <gtest/gtest.h>

#include "HostTestSupport.h"

namespace {

struct OwnerWindow {
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ~OwnerWindow() { ::DestroyWindow(hwnd); }
};

struct ClickProbe {
    HWND owner = nullptr;
    bool ownerEnabledDuringLoop = true;
    int clicks = 0;
    static void OnEvent(void* self, UIEvent& event) {
        auto* probe = static_cast<ClickProbe*>(self);
        ++probe->clicks;
        probe->ownerEnabledDuringLoop = ::IsWindowEnabled(probe->owner) != FALSE;
    }
};

TEST(ModalLoop, AClickOnBtnOkEndsItWithOne) {
    OwnerWindow owner;
    TestHost host(200, 100, 100, 100, owner.hwnd);
    auto* ok = AddSwatch(host.get(), L"btnok", L"10,10,40,20");
    ClickProbe probe;
    probe.owner = owner.hwnd;
    ok->AddListener(&probe, &ClickProbe::OnEvent);
    ::PostMessageW(host.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ::PostMessageW(host.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(host->RunModal(owner.hwnd), 1);
    EXPECT_EQ(probe.clicks, 1);
    EXPECT_FALSE(probe.ownerEnabledDuringLoop);
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd));
    EXPECT_FALSE(::IsWindow(host.hwnd()));
    EXPECT_EQ(host->GetHwnd(), nullptr);
    EXPECT_TRUE(host->Children().empty());
}

TEST(ModalLoop, AnEndAskedForBeforeTheLoopEndsItAtOnce) {
    TestHost host(100, 100);
    host->EndModal(7);
    EXPECT_EQ(host->RunModal(nullptr), 7);
    EXPECT_FALSE(::IsWindow(host.hwnd()));
}

TEST(ModalLoop, TheQuitMessageLeavesTheLoop) {
    OwnerWindow owner;
    TestHost host(100, 100, 100, 100, owner.hwnd);
    ::PostQuitMessage(3);
    EXPECT_EQ(host->RunModal(owner.hwnd), 0);
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd));
    EXPECT_FALSE(::IsWindow(host.hwnd()));
}

TEST(ModalLoop, AWindowDestroyedFromOutsideEndsIt) {
    OwnerWindow owner;
    TestHost host(100, 100, 100, 100, owner.hwnd);
    ::PostMessageW(host.hwnd(), WM_CLOSE, 0, 0);  // default processing destroys it
    EXPECT_EQ(host->RunModal(owner.hwnd), 0);
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd));
    // A host without a window returns at once.
    UIRefPtr<UIHostWnd> bare = UIRefPtr<UIHostWnd>::Adopt(new UIHostWnd());
    EXPECT_EQ(bare->RunModal(owner.hwnd), 0);
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd));
}

}  // namespace
