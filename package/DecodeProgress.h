#pragma once
// Progress of the payload decoding, counted in packed bytes that pass
// through the LZMA decoder. The decoder calls the process-wide hook after
// every LZMA decoding step; copy- and LZMA2-coded folders do not call it,
// so the last percentage of an extraction can stay below 100.
#include <cstddef>
#include <cstdint>

// Defined by the build-time copy of the SDK's folder decoder.
extern "C" void (*SzDecodeProgressHook)(size_t packedBytes);

struct DecodeProgress {
    uint32_t payloadSize = 0;
    uint32_t consumed = 0;
    int32_t lastPercent = -1;
    void (*percentTarget)(int percent) = nullptr;
};

// The state of the extraction that runs (one at a time).
DecodeProgress& TheDecodeProgress();

// Starts counting for a payload of `payloadSize` bytes and installs the hook.
void BeginDecodeProgress(uint32_t payloadSize, void (*percentTarget)(int percent));
// Removes the hook; the state stays for inspection.
void EndDecodeProgress();
// The hook: adds n packed bytes and reports each new whole percentage.
void OnDecodeProgress(size_t packedBytes);
