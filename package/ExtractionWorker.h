#pragma once
// The extraction of the payload started by the script: on a worker thread
// while a setup window is open, inline otherwise. Progress and the result
// reach the script only on the UI thread.
//
// Cases the script may provoke:
// - lua_StartDecompress while an extraction runs (until its OnDecompressRet
//   has been called) is ignored: the running job is left alone and the
//   script gets no second result.
// - Reports from the worker always travel through the task window, even
//   when the setup windows have all closed meanwhile: the worker waits until
//   the UI thread next pumps messages (any later window or message box);
//   the script is never called from the worker thread.
#include <windows.h>
#include <cstdint>
#include <string>

struct lua_State;

// Result codes passed to OnDecompressRet.
constexpr int kDecompressOk = 0;
constexpr int kDecompressNoFolder = -1;
constexpr int kDecompressNoPayload = -2;
constexpr int kDecompressFailed = -3;

struct ExtractionJob {
    std::wstring installFolder;
    bool is64BitSystem = false;  // selects the r_x86// or r_x64// entries
    DWORD startTick = 0;         // when the simulated progress started
    UINT_PTR progressTimer = 0;  // the simulated-progress timer, 0 when none
    DWORD uiThread = 0;          // the thread that runs the script
};

// The job of this process; written by the UI thread before the worker
// starts, only read while it runs.
ExtractionJob& TheExtractionJob();

// lua_StartDecompress (install folder): no results.
int lua_StartDecompress(lua_State* L);

// The worker body: folder, payload, extraction, result.
void OnThreadDecompress(ExtractionJob& job);
// One OnSetupProgress (path, index, count) on the UI thread; nothing when
// count is 0.
void ReportProgress(const std::wstring& path, int index, int count);
void ReportPercent(int percent);
// Completes the simulated progress and delivers OnDecompressRet (code) on
// the UI thread.
void FinishExtraction(int code);

// Whether an extraction has started and its result is not delivered yet.
bool ExtractionRunning();

// Extract from these bytes instead of the payload resource (tools and
// tests); null restores the resource. The bytes are never written to.
void SetPayloadSource(const uint8_t* data, uint32_t size);
