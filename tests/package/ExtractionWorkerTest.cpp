#include <gtest/gtest.h>

#include <windows.h>
#include <memory>
#include <string>
#include <vector>

#include "PackageTestUtil.h"
#include "SevenZipWriter.h"
#include "app/SetupApp.h"
#include "app/TaskWindow.h"
#include "package/ExtractArchive.h"
#include "package/ExtractionWorker.h"
#include "base/PathUtil.h"
#include "support/ScriptTest.h"
#include "support/TestProcess.h"

namespace {

DWORD g_mainThread = 0;

// Lets the script check which thread runs its callbacks.
int OnMainThread(lua_State* L) {
    lua_pushboolean(L, ::GetCurrentThreadId() == g_mainThread);
    return 1;
}

// Stands in for a setup window: only its presence in the window list counts.
SetupWnd* const kFakeWindow = reinterpret_cast<SetupWnd*>(uintptr_t{0x10});

// lua_StartDecompress as installer scripts call it, with the payload given
// as (masked) bytes in read-only memory instead of the resource.
class ExtractionWorkerTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        g_mainThread = ::GetCurrentThreadId();
        ASSERT_NE(CreateTaskWindow(), nullptr);
        lua_register(L, "on_main_thread", OnMainThread);
        SetExtractionLogCapture(&log_);
        folder_ = MakeScratchDir(L"worker") + L"\\app";
        ASSERT_EQ(Run("events = {}; ret = nil; threads_ok = true\n"
                      "function OnSetupProgress(p, i, c)\n"
                      "  threads_ok = threads_ok and on_main_thread()\n"
                      "  events[#events + 1] = p .. '|' .. i .. '|' .. c\n"
                      "end\n"
                      "function OnDecompressRet(code)\n"
                      "  threads_ok = threads_ok and on_main_thread()\n"
                      "  ret = code; events[#events + 1] = 'ret ' .. code\n"
                      "end"),
                  "");
    }
    void TearDown() override {
        TheSetupApp().RemoveWindow(kFakeWindow);
        TheSetupApp().SetSimulateMs(0);
        SetPayloadSource(nullptr, 0);
        SetExtractionLogCapture(nullptr);
        ScriptTest::TearDown();
    }

    void UsePayload(const std::string& storedBytes) {
        payload_ = std::make_unique<GuardedBytes>(storedBytes, /*readOnly=*/true);
        SetPayloadSource(payload_->data(), payload_->size());
    }

    std::string Start(const std::wstring& folder) {
        return Run("lua_StartDecompress(" + LuaQuote(Narrow(folder)) + ")");
    }

    // Runs the UI thread's message loop until the result has arrived.
    bool PumpUntilResult() {
        const DWORD start = ::GetTickCount();
        while (Type("ret") == "nil") {
            if (::GetTickCount() - start > 60000) return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        return true;
    }

    std::vector<std::string> Events() {
        std::vector<std::string> out;
        const int64_t n = Int("#events");
        for (int64_t i = 1; i <= n; ++i) out.push_back(Text("events[" + std::to_string(i) + "]"));
        return out;
    }

    // The percentages among the events, in order.
    std::vector<int> Percents() {
        std::vector<int> out;
        for (const std::string& e : Events())
            if (e.size() > 4 && e[0] == '|' && e.compare(e.size() - 4, 4, "|100") == 0)
                out.push_back(std::stoi(e.substr(1)));
        return out;
    }

    static std::string PeerPayload() { return MaskPayload(ReadAll(FixturePath(L"lzma.7z"))); }

    std::unique_ptr<GuardedBytes> payload_;
    std::wstring folder_;
    std::string log_;
};

TEST_F(ExtractionWorkerTest, WithoutWindowEverythingHappensInsideTheCall) {
    UsePayload(PeerPayload());
    ASSERT_EQ(Run("lua_StartDecompress(" + LuaQuote(Narrow(folder_)) +
                  ")\n"
                  "ret_during_call = ret; events_during_call = #events"),
              "");
    EXPECT_EQ(Int("ret_during_call"), 0) << log_;
    EXPECT_EQ(Int("events_during_call"), Int("#events"));
    EXPECT_TRUE(Bool("threads_ok"));
    EXPECT_EQ(ReadAll(folder_ + L"\\docs\\readme.txt"),
              ReadAll(FixturePath(L"tree\\docs\\readme.txt")));
    const std::vector<int> percents = Percents();
    ASSERT_GE(percents.size(), 5u);
    for (size_t i = 1; i < percents.size(); ++i) EXPECT_LT(percents[i - 1], percents[i]);
    EXPECT_GE(percents.front(), 0);
    EXPECT_LE(percents.back(), 100);
    EXPECT_EQ(Events().back(), "ret 0");
}

TEST_F(ExtractionWorkerTest, ResultCodes) {
    SevenZipWriter w;
    w.AddFile(L"f.txt", "f");
    const std::string good = MaskPayload(w.Build());
    std::string wrongSignature = good;
    wrongSignature[3] = 'X';
    const std::wstring scratch = MakeScratchDir(L"codes");
    ASSERT_TRUE(WriteFileBytes(scratch + L"\\file", "a file, not a folder"));
    struct Case {
        const char* what;
        const std::string* payload;  // null: no payload resource at all
        std::wstring folder;
        int code;
    };
    const std::string empty;
    for (const Case& c :
         {Case{"extracted", &good, scratch + L"\\ok", 0},
          Case{"folder not creatable", &good, scratch + L"\\file\\sub", -1},
          Case{"empty folder text", &good, L"", -1},
          Case{"folder names a device", &good, scratch + L"\\sub\\nul", -1},
          Case{"folder names a device, with a dot", &good, scratch + L"\\Com1.app\\", -1},
          Case{"no payload", nullptr, scratch + L"\\none", -2},
          Case{"zero-size payload", &empty, scratch + L"\\zero", -2},
          Case{"wrong signature", &wrongSignature, scratch + L"\\bad", -3}}) {
        SCOPED_TRACE(c.what);
        if (c.payload) {
            UsePayload(*c.payload);
            if (c.payload->empty()) SetPayloadSource(payload_->data(), 0);
        } else {
            SetPayloadSource(nullptr, 0);
        }
        ASSERT_EQ(Run("events = {}; ret = nil"), "");
        ASSERT_EQ(Start(c.folder), "");
        EXPECT_EQ(Events(), std::vector<std::string>{"ret " + std::to_string(c.code)});
    }
}

TEST_F(ExtractionWorkerTest, ZeroedSignatureBytesInTheStoredPayloadAreAccepted) {
    SevenZipWriter w;
    w.AddFile(L"f.txt", "f");
    std::string stored = w.Build();
    stored[0] = stored[1] = '\0';
    UsePayload(MaskPayload(stored));  // the reader sees two zero bytes
    ASSERT_EQ(Start(folder_), "");
    EXPECT_EQ(Int("ret"), 0) << log_;
    EXPECT_EQ(ReadAll(folder_ + L"\\f.txt"), "f");
}

TEST_F(ExtractionWorkerTest, SkippedEntriesReportTheirNameNotAPercentage) {
    SevenZipWriter w;
    w.AddFolder(L"bin");
    w.AddFile(L"r_x86//bin/tool.dll", "x86");
    w.AddFile(L"r_x64//bin/tool.dll", "x64");
    UsePayload(MaskPayload(w.Build()));
    ASSERT_EQ(Start(folder_), "");
    // The 64-bit build counts as a 64-bit system.
    EXPECT_EQ(Events(), (std::vector<std::string>{"r_x86//bin/tool.dll|1|3", "ret 0"}));
    EXPECT_EQ(ReadAll(folder_ + L"\\bin\\tool.dll"), "x64");
}

// A write that fails halfway, on the script's thread or on the worker:
// the entries before it stay, nothing after it is written or reported,
// and the script gets -3.
TEST_F(ExtractionWorkerTest, WriteFailureHalfwayKeepsTheEntriesBeforeIt) {
    SevenZipWriter w;
    w.AddFolder(L"bin");
    for (int i = 0; i < 6; ++i) {
        w.AddFile(L"bin\\f" + std::to_wstring(i) + L".txt", "new " + std::to_string(i));
        if (i == 1 || i == 4) w.AddFile(L"r_x86//s" + std::to_wstring(i) + L".dll", "x86");
    }
    UsePayload(MaskPayload(w.Build()));
    for (const bool window : {false, true}) {
        SCOPED_TRACE(window ? "worker thread" : "no window");
        const std::wstring folder = MakeScratchDir(L"halfway") + L"\\app";
        ASSERT_TRUE(CreateDirectoryTree(folder + L"\\bin"));
        ASSERT_TRUE(WriteFileBytes(folder + L"\\bin\\f3.txt", "old"));
        HANDLE held = ::CreateFileW((folder + L"\\bin\\f3.txt").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        if (window) TheSetupApp().AddWindow(kFakeWindow);
        ASSERT_EQ(Run("events = {}; ret = nil"), "");
        ASSERT_EQ(Start(folder), "");
        ASSERT_TRUE(PumpUntilResult());
        TheSetupApp().RemoveWindow(kFakeWindow);
        ::CloseHandle(held);
        EXPECT_EQ(Events(), (std::vector<std::string>{"r_x86//s1.dll|3|9", "ret -3"}));
        EXPECT_TRUE(Bool("threads_ok"));
        for (int i = 0; i < 3; ++i) {
            const std::wstring name = folder + L"\\bin\\f" + std::to_wstring(i) + L".txt";
            EXPECT_EQ(ReadAll(name), "new " + std::to_string(i));
        }
        EXPECT_EQ(ReadAll(folder + L"\\bin\\f3.txt"), "old");
        EXPECT_FALSE(PathExists(folder + L"\\bin\\f4.txt"));
        EXPECT_FALSE(PathExists(folder + L"\\bin\\f5.txt"));
    }
}

TEST_F(ExtractionWorkerTest, WithWindowTheWorkerReportsThroughTheUiThread) {
    UsePayload(PeerPayload());
    TheSetupApp().AddWindow(kFakeWindow);
    ASSERT_EQ(Run("lua_StartDecompress(" + LuaQuote(Narrow(folder_)) +
                  ")\n"
                  "events_during_call = #events; ret_during_call = ret"),
              "");
    // Nothing reaches the script before its thread pumps messages again.
    EXPECT_EQ(Int("events_during_call"), 0);
    EXPECT_EQ(Type("ret_during_call"), "nil");
    ASSERT_TRUE(PumpUntilResult());
    EXPECT_EQ(Int("ret"), 0) << log_;
    EXPECT_TRUE(Bool("threads_ok"));
    EXPECT_GE(Percents().size(), 5u);
    EXPECT_EQ(Events().back(), "ret 0");
    EXPECT_EQ(ReadAll(folder_ + L"\\bin\\noise.bin"),
              ReadAll(FixturePath(L"tree\\bin\\noise.bin")));
}

TEST_F(ExtractionWorkerTest, SecondStartWhileRunningIsIgnored) {
    UsePayload(PeerPayload());
    TheSetupApp().AddWindow(kFakeWindow);
    const std::wstring second = folder_ + L"2";
    ASSERT_EQ(Start(folder_), "");
    ASSERT_EQ(Start(second), "");
    ASSERT_TRUE(PumpUntilResult());
    EXPECT_EQ(Int("ret"), 0);
    // Give a wrongly started second worker every chance to show up.
    ::Sleep(200);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    int results = 0;
    for (const std::string& e : Events()) results += e.rfind("ret ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(results, 1);
    EXPECT_FALSE(PathExists(second));
    EXPECT_FALSE(ExtractionRunning());
}

TEST_F(ExtractionWorkerTest, WindowListEmptiedWhileRunningStillReportsOnTheUiThread) {
    UsePayload(PeerPayload());
    TheSetupApp().AddWindow(kFakeWindow);
    ASSERT_EQ(Start(folder_), "");
    TheSetupApp().RemoveWindow(kFakeWindow);
    ASSERT_TRUE(PumpUntilResult());
    EXPECT_EQ(Int("ret"), 0);
    EXPECT_TRUE(Bool("threads_ok"));
    EXPECT_GE(Percents().size(), 5u);
}

TEST_F(ExtractionWorkerTest, SimulatedProgressIsCompletedBeforeTheResult) {
    UsePayload(PeerPayload());
    TheSetupApp().AddWindow(kFakeWindow);
    ASSERT_EQ(Run("lua_SetTimeSimulate(60000)"), "");
    ASSERT_EQ(Start(folder_), "");
    ASSERT_TRUE(PumpUntilResult());
    const std::vector<std::string> events = Events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.back(), "ret 0");
    EXPECT_EQ(events[events.size() - 2], "|99|100");
    // The completion walks up one by one to 99.
    const std::vector<int> percents = Percents();
    EXPECT_EQ(percents[percents.size() - 2], 98);
}

TEST_F(ExtractionWorkerTest, NoSimulatedCompletionWithoutWindow) {
    SevenZipWriter w;
    w.AddFile(L"f.txt", "f");
    UsePayload(MaskPayload(w.Build()));  // copy-coded: no decode percentages
    ASSERT_EQ(Run("lua_SetTimeSimulate(60000)"), "");
    ASSERT_EQ(Start(folder_), "");
    EXPECT_EQ(Events(), std::vector<std::string>{"ret 0"});
}

}  // namespace
