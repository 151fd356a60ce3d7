#include "package/DecodeProgress.h"

DecodeProgress& TheDecodeProgress() {
    static DecodeProgress progress;
    return progress;
}

void BeginDecodeProgress(uint32_t payloadSize, void (*percentTarget)(int percent)) {
    DecodeProgress& p = TheDecodeProgress();
    p.payloadSize = payloadSize;
    // Each extraction counts from zero, so a second one in the same process
    // reports 0..100 again instead of continuing past 100.
    p.consumed = 0;
    p.lastPercent = -1;
    p.percentTarget = percentTarget;
    SzDecodeProgressHook = &OnDecodeProgress;
}

void EndDecodeProgress() { SzDecodeProgressHook = nullptr; }

void OnDecodeProgress(size_t packedBytes) {
    DecodeProgress& p = TheDecodeProgress();
    p.consumed += static_cast<uint32_t>(packedBytes);
    if (p.payloadSize == 0) return;
    const int percent = static_cast<int>(static_cast<double>(p.consumed) /
                                         static_cast<double>(p.payloadSize) * 100.0);
    if (percent == p.lastPercent) return;
    if (p.percentTarget) p.percentTarget(percent);
    p.lastPercent = percent;
}
