// The control tree: handles, messages, events, hit testing, visibility and
// enablement, and the life of a control across detaching.
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/UIControlRegistry.h"

namespace {

using Ref = UIRefPtr<UIControl>;

// Records every message it receives, with the control's id.
std::vector<std::pair<std::wstring, UINT>> g_log;

class LoggingControl : public UIControl {
  public:
    bool HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override {
        g_log.emplace_back(GetId(), msg);
        return UIControl::HandleMessage(msg, w, l, result);
    }
    void OnStateChanged(uint32_t oldState, uint32_t newState) override {
        changes.emplace_back(oldState, newState);
    }
    std::vector<std::pair<uint32_t, uint32_t>> changes;
};

TEST(ControlRegistry, HandlesAreUniqueAndResolveWhileAlive) {
    UIControl* a = new UIControl();
    UIControl* b = new UIControl();
    const uint32_t ha = a->Handle(), hb = b->Handle();
    EXPECT_NE(ha, 0u);
    EXPECT_GT(hb, ha);
    EXPECT_EQ(UIControlRegistry::Instance().Find(ha), a);
    EXPECT_EQ(UIControlRegistry::Instance().Find(0), nullptr);
    a->Release();
    EXPECT_EQ(UIControlRegistry::Instance().Find(ha), nullptr);
    UIControl* c = new UIControl();
    EXPECT_GT(c->Handle(), hb);  // never reused
    b->Release();
    c->Release();
}

TEST(ControlTree, ReleasingARootFreesItsSubtree) {
    const size_t before = UIControlRegistry::Instance().Count();
    UIControl* root = MakeControl(nullptr);
    MakeControl(MakeControl(root), {});
    MakeControl(root);
    EXPECT_EQ(UIControlRegistry::Instance().Count(), before + 4);
    root->Release();
    EXPECT_EQ(UIControlRegistry::Instance().Count(), before);
}

TEST(ControlTree, FindByIdIsDepthFirstPreOrder) {
    Ref root = Ref::Adopt(MakeControl(nullptr, {{L"id", L"root"}}));
    UIControl* a = MakeControl(root.get(), {{L"id", L"a"}});
    UIControl* deep = MakeControl(a, {{L"id", L"x"}});
    MakeControl(root.get(), {{L"id", L"x"}});
    EXPECT_EQ(root->FindById(L"x"), deep);
    EXPECT_EQ(root->FindById(L"root"), root.get());
    EXPECT_EQ(root->FindById(L"X"), nullptr);
    EXPECT_EQ(root->FindById(L"a "), nullptr);
    EXPECT_EQ(root->FindById(std::wstring(L"a\0", 2)), nullptr);  // length counts
}

TEST(ControlTree, Relatives) {
    Ref root = Ref::Adopt(MakeControl(nullptr));
    UIControl* a = MakeControl(root.get());
    UIControl* b = MakeControl(root.get());
    UIControl* c = MakeControl(root.get());
    const struct {
        UIControl* from;
        int kind;
        UIControl* expected;
    } cases[] = {
        {root.get(), UIControl::kFirstChild, a},
        {root.get(), UIControl::kLastChild, c},
        {b, UIControl::kPrevSibling, a},
        {b, UIControl::kNextSibling, c},
        {a, UIControl::kPrevSibling, nullptr},
        {c, UIControl::kNextSibling, nullptr},
        {b, UIControl::kParent, root.get()},
        {root.get(), UIControl::kParent, nullptr},
        {a, UIControl::kFirstChild, nullptr},
        {root.get(), UIControl::kPrevSibling, nullptr},
        {a, 9, nullptr},
    };
    for (const auto& t : cases) EXPECT_EQ(t.from->GetRelative(t.kind), t.expected) << t.kind;
    EXPECT_EQ(c->IndexInParent(), 2);
    EXPECT_EQ(root->IndexInParent(), -1);
}

TEST(ControlTree, SetHostReachesTheWholeSubtree) {
    FakeHost host;
    Ref root = Ref::Adopt(MakeControl(nullptr));
    UIControl* a = MakeControl(root.get());
    UIControl* b = MakeControl(a);
    root->SetHost(&host);
    EXPECT_EQ(b->GetHost(), &host);
    UIControl* late = MakeControl(b);  // AddChild passes the host on
    EXPECT_EQ(late->GetHost(), &host);
}

TEST(ControlMessages, RecordAndHandledFlag) {
    class Probe : public UIControl {
      public:
        bool HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override {
            if (msg == 0x400) {
                seen = *CurrentMessage();
                nestedPrevious = nullptr;
                SendMessage(0x401, 0, 0);
                result = 99;
                return true;
            }
            if (msg == 0x401) {
                nestedPrevious = CurrentMessage()->previous;
                return false;
            }
            return UIControl::HandleMessage(msg, w, l, result);
        }
        UIMessage seen;
        UIMessage* nestedPrevious = nullptr;
    };
    Ref probe = Ref::Adopt(new Probe());
    Probe* p = static_cast<Probe*>(probe.get());
    bool handled = false;
    EXPECT_EQ(p->SendMessage(0x400, 3, MAKELPARAM(-5, 7), &handled), 99);
    EXPECT_TRUE(handled);
    EXPECT_EQ(p->seen.msg, 0x400u);
    EXPECT_EQ(p->seen.wParam, 3u);
    EXPECT_EQ(p->seen.x, -5);
    EXPECT_EQ(p->seen.y, 7);
    EXPECT_NE(p->nestedPrevious, nullptr);  // the outer record was saved
    EXPECT_EQ(p->CurrentMessage(), nullptr);
    p->SendMessage(0x402, 0, 0, &handled);  // falls to DefHandleMessage
    EXPECT_FALSE(handled);
}

TEST(ControlMessages, BaseMessageTable) {
    Ref root = Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,100,100"}}));
    LoggingControl* child = MakeControl<LoggingControl>(root.get(), {{L"pos", L"0,0,10,10"}});
    bool handled = false;
    EXPECT_EQ(child->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abcd"), &handled), 4);
    EXPECT_TRUE(handled);
    EXPECT_EQ(child->GetText(), L"abcd");
    EXPECT_EQ(child->SendMessage(WM_SETTEXT, 0, 0), 0);  // no text: empty
    EXPECT_EQ(child->GetText(), L"");

    g_log.clear();
    child->SetAttribute(L"id", L"c");
    root->SetAttribute(L"id", L"r");
    child->SendMessage(WM_MOUSEWHEEL, 0, 0, &handled);  // forwarded to the parent
    EXPECT_TRUE(handled);
    ASSERT_EQ(g_log.size(), 1u);  // the root is not a LoggingControl
    for (UINT msg : {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_SETFOCUS, WM_KILLFOCUS}) {
        handled = false;
        child->SendMessage(msg, 0, 0, &handled);
        EXPECT_TRUE(handled) << msg;
    }
}

TEST(ControlMessages, HoverAndLeaveFollowTheCapture) {
    FakeHost host;
    Ref root = Ref::Adopt(MakeControl(nullptr));
    root->SetHost(&host);
    LoggingControl* c = MakeControl<LoggingControl>(root.get());
    c->SendMessage(WM_MOUSEHOVER, 0, 0);
    EXPECT_EQ(c->GetState(), UIControl::kStateHover);
    c->SendMessage(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(c->GetState(), 0u);
    host.captured = c->Handle();
    c->SendMessage(WM_MOUSEHOVER, 0, 0);
    EXPECT_EQ(c->GetState(), UIControl::kStateHover | UIControl::kStatePressed);
    c->SendMessage(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(c->GetState(), 0u);
    std::vector<std::pair<uint32_t, uint32_t>> expected = {{0, 1}, {1, 0}, {0, 2},
                                                           {2, 3}, {3, 1}, {1, 0}};
    EXPECT_EQ(c->changes, expected);
}

// Detaches itself from inside its own handler of message 0x400.
struct DetachProbe {
    bool aliveAfterDetach = false;
    bool detachedFromParent = false;
} g_detach;

class SelfDetaching : public UIControl {
  public:
    bool HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override {
        if (msg != 0x400) return UIControl::HandleMessage(msg, w, l, result);
        Detach();
        // Still alive and registered: SendMessage holds a reference.
        g_detach.aliveAfterDetach = UIControlRegistry::Instance().Find(Handle()) == this;
        g_detach.detachedFromParent = GetParent() == nullptr && HasStyleA(kStyleDestroyed);
        result = 5;
        return true;
    }
};

TEST(ControlMessages, DetachFromOwnHandlerKeepsControlAliveUntilReturn) {
    Ref root = Ref::Adopt(MakeControl(nullptr));
    SelfDetaching* c = MakeControl<SelfDetaching>(root.get());
    const uint32_t childHandle = MakeControl(c)->Handle();  // removed with it
    const uint32_t handle = c->Handle();
    EXPECT_EQ(c->SendMessage(0x400, 0, 0), 5);
    EXPECT_TRUE(g_detach.aliveAfterDetach);
    EXPECT_TRUE(g_detach.detachedFromParent);
    EXPECT_EQ(UIControlRegistry::Instance().Find(handle), nullptr);  // freed on return
    EXPECT_EQ(UIControlRegistry::Instance().Find(childHandle), nullptr);
    EXPECT_TRUE(root->Children().empty());
}

TEST(ControlMessages, DestroyAndPingOrder) {
    Ref root = Ref::Adopt(MakeControl<LoggingControl>(nullptr, {{L"id", L"r"}}));
    LoggingControl* a = MakeControl<LoggingControl>(root.get(), {{L"id", L"a"}});
    MakeControl<LoggingControl>(a, {{L"id", L"a1"}});
    MakeControl<LoggingControl>(root.get(), {{L"id", L"b"}});
    g_log.clear();
    root->PingTree();
    std::vector<std::pair<std::wstring, UINT>> ping = {{L"r", 0}, {L"a", 0}, {L"a1", 0}, {L"b", 0}};
    EXPECT_EQ(g_log, ping);
    g_log.clear();
    root->SendMessage(WM_DESTROY, 0, 0);
    // each child gets the destroy message and passes it on before the next
    std::vector<std::pair<std::wstring, UINT>> destroy = {
        {L"r", WM_DESTROY}, {L"a", WM_DESTROY}, {L"a1", WM_DESTROY}, {L"b", WM_DESTROY}};
    EXPECT_EQ(g_log, destroy);
    EXPECT_TRUE(root->Children().empty());
}

// ---- Events --------------------------------------------------------------

std::vector<std::string> g_events;

void RecordA(void* object, UIEvent& e) { g_events.push_back("A:" + e.name); }
void RecordB(void* object, UIEvent& e) {
    g_events.push_back("B:" + e.name);
    e.result = 3;
}

class NotifyParent : public UIControl {
  public:
    bool OnChildNotify(UIEvent& e) override {
        g_events.push_back("parent:" + e.name + ":" +
                           std::string(e.senderId.begin(), e.senderId.end()));
        return consume;
    }
    bool consume = false;
};

TEST(ControlEvents, ListenersAncestorsAndHost) {
    FakeHost host;
    Ref root = Ref::Adopt(MakeControl<NotifyParent>(nullptr));
    root->SetHost(&host);
    NotifyParent* mid = MakeControl<NotifyParent>(root.get());
    UIControl* leaf = MakeControl(mid, {{L"id", L"btn"}});
    leaf->AddListener(reinterpret_cast<void*>(1), RecordA);
    leaf->AddListener(nullptr, RecordA);  // skipped
    leaf->AddListener(reinterpret_cast<void*>(1), nullptr);
    leaf->AddListener(reinterpret_cast<void*>(1), RecordB);

    const struct {
        bool midWants, rootWants, rootConsumes;
        std::vector<std::string> events;
        size_t hostCalls;
        int result;
    } cases[] = {
        {false, false, false, {"A:click", "B:click"}, 1, 7},
        {true, false, false, {"A:click", "B:click", "parent:click:btn"}, 1, 7},
        {true, true, true, {"A:click", "B:click", "parent:click:btn", "parent:click:btn"}, 0, 3},
        {false, true, true, {"A:click", "B:click", "parent:click:btn"}, 0, 3},
    };
    for (const auto& c : cases) {
        mid->SetChildNotify(c.midWants);
        root->SetChildNotify(c.rootWants);
        static_cast<NotifyParent*>(root.get())->consume = c.rootConsumes;
        g_events.clear();
        host.notified.clear();
        EXPECT_EQ(leaf->Notify("click", 1, 2), c.result);
        EXPECT_EQ(g_events, c.events);
        ASSERT_EQ(host.notified.size(), c.hostCalls);
        if (c.hostCalls) {
            EXPECT_EQ(host.notified[0].sender, leaf);
            EXPECT_EQ(host.notified[0].name, "click");
        }
    }
}

// ---- Hit testing -----------------------------------------------------------

TEST(ControlHitTest, FindControlAt) {
    // root (0,0,200,100) hit false; panel (10,10,100,50); button inside panel at (5,5,20,20)
    Ref root = Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,200,100"}, {L"hit", L"false"}}));
    UIControl* panel = MakeControl(root.get(), {{L"pos", L"10,10,100,50"}, {L"hit", L"0"}});
    UIControl* button = MakeControl(panel, {{L"pos", L"5,5,20,20"}});
    UIControl* top = MakeControl(root.get(), {{L"pos", L"150,0,50,50"}});
    MakeControl(top, {{L"pos", L"0,0,50,50"}, {L"visible", L"false"}});
    UIControl* off = MakeControl(root.get(), {{L"pos", L"0,60,50,40"}, {L"enable", L"false"}});
    MakeControl(off, {{L"pos", L"0,0,50,40"}});
    const struct {
        int x, y;
        UIControl* expected;
    } cases[] = {
        {16, 16, button},   {15, 15, button},   {35, 35, nullptr},  // panel area: hit false
        {34, 34, button},   {100, 90, nullptr},                     // root background
        {160, 10, top},                                             // hidden child skipped
        {10, 70, nullptr},                                          // disabled subtree
        {200, 50, nullptr}, {-1, 0, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(root->FindControlAt(c.x, c.y), c.expected) << c.x << "," << c.y;
    }
    EXPECT_TRUE(button->HitTestPoint(POINT{15, 15}));
    EXPECT_TRUE(button->HitTestPoint(POINT{34, 34}));
    EXPECT_FALSE(button->HitTestPoint(POINT{35, 34}));
    EXPECT_FALSE(button->HitTestPoint(POINT{14, 20}));
    RECT hostRect;
    button->GetHostRect(hostRect);
    RECT expected = {15, 15, 35, 35};
    EXPECT_TRUE(EqualRect(&hostRect, &expected));
}

TEST(ControlHitTest, LaterSiblingsAreOnTop) {
    Ref root = Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,100,100"}}));
    MakeControl(root.get(), {{L"pos", L"0,0,50,50"}});
    UIControl* second = MakeControl(root.get(), {{L"pos", L"0,0,50,50"}});
    EXPECT_EQ(root->FindControlAt(10, 10), second);
}

// ---- Visibility and enablement --------------------------------------------

TEST(ControlState, EnablePropagationByFromParent) {
    Ref root = Ref::Adopt(MakeControl(nullptr));
    LoggingControl* parent = MakeControl<LoggingControl>(root.get());
    LoggingControl* child = MakeControl<LoggingControl>(parent);
    const uint32_t D = UIControl::kStateDisabled;
    parent->SendMessage(WM_ENABLE, 0, 0);
    EXPECT_EQ(parent->GetState(), D);
    EXPECT_FALSE(parent->IsEnableBit());
    EXPECT_EQ(child->GetState(), 0u);  // no propagation by itself
    const struct {
        bool childBit;
        WPARAM enable;
        LPARAM fromParent;
        bool childBitAfter;
        uint32_t state;
    } cases[] = {
        {true, 1, 1, true, D},    // parent disabled: disabled whatever its own bit
        {true, 0, 1, true, D},    // from the parent: its own bit stays
        {false, 1, 1, false, D},  // bit clear: enabling from the parent disables
        {true, 1, 0, true, D},    // own request: bit set, still under a disabled parent
        {true, 0, 0, false, D},
    };
    for (const auto& c : cases) {
        child->SetStyleA(UIControl::kStyleEnable, c.childBit);
        child->SetState(0);
        child->SendMessage(WM_ENABLE, c.enable, c.fromParent);
        EXPECT_EQ(child->IsEnableBit(), c.childBitAfter);
        EXPECT_EQ(child->GetState(), c.state);
    }
    parent->SendMessage(WM_ENABLE, 1, 0);
    child->SetStyleA(UIControl::kStyleEnable, true);
    child->SetState(UIControl::kStateHover | D);
    child->SendMessage(WM_ENABLE, 1, 1);
    EXPECT_EQ(child->GetState(), UIControl::kStateHover);
    child->SendMessage(WM_ENABLE, 0, 0);  // disabling clears hover
    EXPECT_EQ(child->GetState(), D);
}

TEST(ControlState, VisibilityPropagatesToDescendants) {
    FakeHost host;
    Ref root = Ref::Adopt(MakeControl(nullptr));
    root->SetHost(&host);
    LoggingControl* page = MakeControl<LoggingControl>(root.get(), {{L"visible", L"false"}});
    LoggingControl* a = MakeControl<LoggingControl>(page);
    LoggingControl* b = MakeControl<LoggingControl>(page, {{L"visible", L"false"}});
    LoggingControl* b1 = MakeControl<LoggingControl>(b);
    const uint32_t H = UIControl::kStateHidden;
    // the attribute alone sends nothing and changes no state
    EXPECT_FALSE(page->IsVisibleBit());
    EXPECT_EQ(page->GetState(), 0u);

    page->SendMessage(WM_SHOWWINDOW, 0, 0);
    EXPECT_EQ(page->GetState(), H);
    EXPECT_EQ(a->GetState(), H);
    EXPECT_TRUE(a->IsVisibleBit());  // from the parent: own bit kept
    EXPECT_EQ(b1->GetState(), H);

    page->SendMessage(WM_SHOWWINDOW, 1, 0);
    EXPECT_TRUE(page->IsVisibleBit());
    EXPECT_EQ(page->GetState(), 0u);
    EXPECT_EQ(a->GetState(), 0u);
    EXPECT_EQ(b->GetState(), H);   // its own bit is clear
    EXPECT_EQ(b1->GetState(), H);  // under a hidden parent

    // hiding drops the host's focus and capture held by the hidden control
    host.focused = a->Handle();
    host.captured = a->Handle();
    page->SendMessage(WM_SHOWWINDOW, 0, 0);
    EXPECT_EQ(host.focused, 0u);
    EXPECT_EQ(host.releasedCapture, 1);
    // a visible control whose parent is hidden stays hidden when shown
    a->SendMessage(WM_SHOWWINDOW, 1, 0);
    EXPECT_EQ(a->GetState(), H);
    EXPECT_EQ(a->changes.size(), 3u);  // each real change reported once
}

// ---- Geometry ---------------------------------------------------------------

// Counts layouts and size messages; records invalidated areas at the root.
class CountingControl : public UIControl {
  public:
    void Layout() override {
        ++layouts;
        UIControl::Layout();
    }
    bool HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override {
        if (msg == WM_SIZE) sizes.push_back(l);
        return UIControl::HandleMessage(msg, w, l, result);
    }
    void Invalidate(const RECT* rc) override {
        if (GetParent()) return UIControl::Invalidate(rc);
        if (IsVisibleBit() && rc) dirty.push_back(*rc);
    }
    void OnPositionChanged() override { ++positionChanges; }
    int layouts = 0;
    int positionChanges = 0;
    std::vector<LPARAM> sizes;
    std::vector<RECT> dirty;
};

TEST(ControlGeometry, SetPosLaysOutOnSizeChangeOrPending) {
    Ref c = Ref::Adopt(new CountingControl());
    auto* p = static_cast<CountingControl*>(c.get());
    const struct {
        int x, y, w, h;
        int layouts, positionChanges;
    } steps[] = {
        {0, 0, 0, 0, 0, 0},    // nothing changed: nothing happens, pending stays
        {5, 5, 0, 0, 1, 1},    // first change finds the pending layout
        {6, 6, 0, 0, 1, 2},    // origin only
        {6, 6, 10, 10, 2, 3},  // size
        {6, 6, 10, 10, 2, 3},
    };
    for (const auto& s : steps) {
        p->SetPos(s.x, s.y, s.w, s.h);
        EXPECT_EQ(p->layouts, s.layouts) << s.x << "," << s.w;
        EXPECT_EQ(p->positionChanges, s.positionChanges);
    }
    EXPECT_TRUE(p->sizes.empty());  // SetPos sends no size message
}

TEST(ControlGeometry, MoveSendsSizeAndLaysOutAlways) {
    Ref c = Ref::Adopt(new CountingControl());
    auto* p = static_cast<CountingControl*>(c.get());
    p->Move(1, 2, 300, 40);
    ASSERT_EQ(p->sizes.size(), 1u);
    EXPECT_EQ(p->sizes[0], MAKELPARAM(300, 40));
    EXPECT_EQ(p->layouts, 1);
    p->Move(1, 2, 300, 40);  // unchanged: layout without a size message
    EXPECT_EQ(p->sizes.size(), 1u);
    EXPECT_EQ(p->layouts, 2);
    p->Move(3, 2, 300, 40);  // origin only still sends the size message
    EXPECT_EQ(p->sizes.size(), 2u);
}

TEST(ControlGeometry, InvalidateReachesTheRootInItsCoordinates) {
    Ref root = Ref::Adopt(new CountingControl());
    auto* r = static_cast<CountingControl*>(root.get());
    r->SetPos(0, 0, 500, 500);
    UIControl* panel = MakeControl(r, {{L"pos", L"100,50,200,200"}});
    UIControl* leaf = MakeControl(panel, {{L"pos", L"10,20,30,40"}});
    r->dirty.clear();
    leaf->Invalidate(nullptr);
    RECT part = {1, 2, 3, 4};
    leaf->Invalidate(&part);
    ASSERT_EQ(r->dirty.size(), 2u);
    RECT whole = {110, 70, 140, 110}, sub = {111, 72, 113, 74};
    EXPECT_TRUE(EqualRect(&r->dirty[0], &whole));
    EXPECT_TRUE(EqualRect(&r->dirty[1], &sub));
    leaf->SetStyleA(UIControl::kStyleVisible, false);  // invisible: nothing
    leaf->Invalidate(nullptr);
    EXPECT_EQ(r->dirty.size(), 2u);
}

TEST(ControlGeometry, ParentPosAndContainerChildrenFollowTheClientArea) {
    Ref root =
        Ref::Adopt(MakeControl(nullptr, {{L"pos", L"0,0,100,80"}, {L"padding", L"1,2,3,4"}}));
    UIControl* fill = MakeControl(root.get(), {{L"pos", L"parent"}});
    UIControl* fixed = MakeControl(root.get(), {{L"pos", L"5,5,10,10"}});
    root->Layout();
    EXPECT_EQ(PosText(fill), "1,2,96,74");
    EXPECT_EQ(PosText(fixed), "5,5,10,10");
    root->SetAttribute(L"container", L"1");
    root->Layout();
    EXPECT_EQ(PosText(fixed), "1,2,96,74");
}

}  // namespace
