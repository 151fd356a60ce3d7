#pragma once
// Decodes the solid blocks of an opened payload archive on threads of their
// own while the entry walk writes the files of the blocks decoded before, so
// that decoding and writing overlap on several cores.
//
// The walk sees exactly what it saw when it decoded each block itself on
// reaching the block's first file: the blocks in the same order (an entry
// without data still drops the cached block, so a block is decoded again
// after one), the decode progress of a block handed to the walk's thread,
// step by step, just before that block's first file, and a decoding error
// in place of the block. Decoded blocks wait for the walk within the largest
// block plus a few MB; while the next block waits for that room, a thread
// decodes the blocks after it that fit beside it. When no thread can be
// started, each block is decoded on demand, as before.
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "7z.h"
#include "app/Handles.h"

class MemoryStream;

class BlockDecoder {
  public:
    // `stream` is the archive's input; each decoding thread reads it through
    // a view of its own.
    BlockDecoder(const CSzArEx& db, const MemoryStream& stream, ILookInStreamPtr input,
                 ISzAllocPtr alloc);
    ~BlockDecoder();
    BlockDecoder(const BlockDecoder&) = delete;
    BlockDecoder& operator=(const BlockDecoder&) = delete;

    // Starts decoding ahead of the walk.
    void Start();
    // Off: every block is decoded on demand on the walk's thread, as the
    // reference the decoding ahead must match (for tests). On by default.
    static void SetDecodeAhead(bool on);
    // The bytes of file entry `index` (null and 0 for an entry without
    // data), after replaying the decode progress of its block; the archive
    // reader's code (0 for success).
    int EntryData(UInt32 index, const uint8_t** data, size_t* size);

  private:
    struct Job {
        UInt32 folder = 0;
        size_t size = 0;                      // SIZE_MAX: too large to hold
        UInt32 firstEntry = 0, endEntry = 0;  // the entries it serves lie in between
        Byte* buffer = nullptr;
        size_t charge = 0;          // bytes of the buffer it holds, counted against the budget
        std::vector<size_t> steps;  // packed bytes of each decoding step
        SRes result = SZ_OK;
        bool done = false;
    };
    struct Reader;

    void PlanJobs();
    static DWORD WINAPI ThreadMain(LPVOID self);
    void DecodeAll();
    // Claims the next job once there is room for it; false when none is left.
    bool ClaimJob(size_t& k);
    // Under the lock: the next job if it fits, else a later one that leaves
    // it room; false when neither fits now.
    bool TryClaim(size_t limit, size_t& k);
    // Under the lock: whether job `k` gets room for its buffer within `room`,
    // a spare one where one fits; charges it.
    bool TakeRoom(size_t k, size_t room);
    void FreeSpares(size_t keep);
    void DecodeJob(Job& job, ILookInStreamPtr input);
    void CheckCrcs(const Job& job);
    // Waits for the block of job `k` and replays its decode progress.
    int AwaitJob(size_t k);
    void Release(size_t k);
    static void RecordStep(size_t packedBytes);

    const CSzArEx& db_;
    const MemoryStream& stream_;
    ILookInStreamPtr input_;
    ISzAllocPtr alloc_;
    std::vector<Job> jobs_;
    std::vector<int> jobOfEntry_;  // -1: an entry without data
    std::vector<uint8_t> crcBad_;  // per entry, set with its block
    size_t budget_ = 0;
    void (*progressHook_)(size_t) = nullptr;  // the hook in place before Start

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    size_t nextJob_ = 0;     // the first job not claimed yet
    size_t aheadCount_ = 0;  // jobs claimed right after it, while it waits for room
    size_t aheadBytes_ = 0;
    size_t inFlight_ = 0;  // bytes of blocks decoded or decoding, not yet released
    // Buffers of released blocks kept for the next ones: fresh memory costs
    // a page fault per page. They count against the budget as well.
    struct Spare {
        Byte* buffer;
        size_t size;
    };
    std::vector<Spare> spares_;
    size_t spareBytes_ = 0;
    bool stop_ = false;
    size_t failedJob_ = SIZE_MAX;  // the first block that failed: the walk ends there
    std::vector<UniqueHandleKernel> threads_;

    int current_ = -1;  // the job whose block the walk holds (walk side only)
    int failure_ = 0;   // the error that ended the walk, once seen
};
