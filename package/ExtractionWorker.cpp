#include "package/ExtractionWorker.h"

#include <atomic>
#include <memory>

#include "app/OwnResource.h"
#include "app/ScriptRunner.h"
#include "app/SetupApp.h"
#include "app/ThreadTask.h"
#include "package/DecodeProgress.h"
#include "package/ExtractArchive.h"
#include "package/MemoryStream.h"
#include "package/PayloadMask.h"
#include "base/PathGuard.h"
#include "base/PathUtil.h"
#include "script_api/ScriptArgs.h"

namespace {

constexpr int kPayloadResourceId = 131;
constexpr UINT_PTR kProgressTimerId = 301;
constexpr UINT kProgressTimerMs = 100;

std::atomic<bool> g_running{false};
const uint8_t* g_sourceData = nullptr;
uint32_t g_sourceSize = 0;

bool WindowOpen() { return !TheSetupApp().Windows().empty(); }

// Reports go straight to the script only on the thread that runs it; from
// the worker they travel as tasks, whatever the window list says by now.
bool OnScriptThread() {
    const DWORD ui = TheExtractionJob().uiThread;
    return ui == 0 || ::GetCurrentThreadId() == ui;
}

struct Payload {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};

Payload LoadPayload() {
    if (g_sourceData) return {g_sourceData, g_sourceSize};
    const ResourceBytes payload = LoadOwnResource(kPayloadResourceId, L"PAK");
    return {static_cast<const uint8_t*>(payload.data), payload.size};
}

uint32_t SimulatedPercent() {
    const uint32_t duration = TheSetupApp().SimulateMs();
    if (duration == 0) return 100;
    return ((::GetTickCount() - TheExtractionJob().startTick) * 100u) / duration;
}

void CALLBACK SimulatedTick(HWND, UINT, UINT_PTR, DWORD) {
    uint32_t percent = SimulatedPercent();
    if (percent > 100) percent = 100;
    ReportProgress(L"", static_cast<int>(percent), 100);
}

// Stops the simulated progress and, with a window open, walks the bar to
// 99 so that the result never arrives with a half-filled bar.
void CompleteSimulatedProgress() {
    ExtractionJob& job = TheExtractionJob();
    if (job.progressTimer == 0) return;
    ::KillTimer(nullptr, job.progressTimer);
    if (!WindowOpen()) return;
    int i = static_cast<int>(SimulatedPercent());
    if (i < 0) i = 0;
    for (; i < 100; ++i) {
        ReportProgress(L"", i, 100);
        ::Sleep(10);
    }
}

void DeliverResult(int code) {
    CompleteSimulatedProgress();
    g_running = false;
    TheScriptRunner().CallOnDecompressRet(code);
}

void CallProgress(std::wstring path, int index, int count) {
    TheScriptRunner().CallOnSetupProgress(path, index, count);
}

// "C:\App\nul" would "create" the null device and extract into nothing.
bool NamesDevice(const std::wstring& folder) {
    const size_t end = folder.find_last_not_of(L"\\/");
    if (end == std::wstring::npos) return false;
    const size_t start = folder.find_last_of(L"\\/", end);
    const size_t from = start == std::wstring::npos ? 0 : start + 1;
    return IsReservedDeviceName(std::wstring_view(folder).substr(from, end + 1 - from));
}

DWORD WINAPI WorkerThread(LPVOID) {
    OnThreadDecompress(TheExtractionJob());
    return 0;
}

}  // namespace

ExtractionJob& TheExtractionJob() {
    static ExtractionJob job;
    return job;
}

bool ExtractionRunning() { return g_running; }

void SetPayloadSource(const uint8_t* data, uint32_t size) {
    g_sourceData = data;
    g_sourceSize = data ? size : 0;
}

int lua_StartDecompress(lua_State* L) {
    const std::wstring folder = ArgText(L, 1);
    ::OutputDebugStringW(L"StartDecompress");
    if (g_running.exchange(true)) {
        ::OutputDebugStringW(L"StartDecompress ignored: an extraction is running");
        return 0;
    }
    ExtractionJob& job = TheExtractionJob();
    job.is64BitSystem = Is64BitSystem();
    job.installFolder = folder;
    job.uiThread = ::GetCurrentThreadId();
    job.progressTimer = 0;
    if (TheSetupApp().SimulateMs() > 0) {
        job.startTick = ::GetTickCount();
        job.progressTimer = ::SetTimer(nullptr, kProgressTimerId, kProgressTimerMs, SimulatedTick);
    }
    if (!WindowOpen()) {
        OnThreadDecompress(job);
        return 0;
    }
    HANDLE thread = ::CreateThread(nullptr, 0, WorkerThread, nullptr, 0, nullptr);
    if (!thread) {
        // No thread to spare: extract here; the window waits, the install
        // still happens.
        OnThreadDecompress(job);
        return 0;
    }
    ::CloseHandle(thread);
    return 0;
}

void OnThreadDecompress(ExtractionJob& job) {
    ::OutputDebugStringW(L"OnThreadDecompress");
    if (NamesDevice(job.installFolder)) {
        ::OutputDebugStringW(L"OnThreadDecompress refused an install folder that names a device");
        FinishExtraction(kDecompressNoFolder);
        return;
    }
    if (job.installFolder.empty() || !CreateDirectoryTree(job.installFolder)) {
        FinishExtraction(kDecompressNoFolder);
        return;
    }
    const Payload payload = LoadPayload();
    if (!payload.data || payload.size == 0) {
        ::OutputDebugStringW(L"OnThreadDecompress LoadRes Error");
        FinishExtraction(kDecompressNoPayload);
        return;
    }
    // The resource is read-only: the stream presents the unmasked bytes.
    MemoryStream stream(payload.data, payload.size);
    uint8_t head[kPayloadMaskedBytes] = {};
    const size_t headSize = payload.size < kPayloadMaskedBytes ? payload.size : kPayloadMaskedBytes;
    for (size_t i = 0; i < headSize; ++i) head[i] = payload.data[i];
    ApplyPayloadMask(head, headSize);
    stream.PatchHead(head, headSize);

    BeginDecodeProgress(payload.size, &ReportPercent);
    const int code = ExtractArchive(stream) == 0 ? kDecompressOk : kDecompressFailed;
    EndDecodeProgress();
    FinishExtraction(code);
}

void ReportProgress(const std::wstring& path, int index, int count) {
    if (count == 0) return;
    if (OnScriptThread()) {
        TheScriptRunner().CallOnSetupProgress(path, index, count);
        return;
    }
    auto call = &CallProgress;
    SendTask(std::make_unique<ThreadTaskTemp<decltype(call)>>(call, path, index, count));
}

void ReportPercent(int percent) { ReportProgress(L"", percent, 100); }

void FinishExtraction(int code) {
    if (OnScriptThread()) {
        DeliverResult(code);
        return;
    }
    PostTask(std::make_unique<ThreadTaskPost<void (*)(int)>>(&DeliverResult, code));
}
