#pragma once
// Decodes the solid blocks of an opened payload archive on a thread of its
// own while the entry walk writes the files of the blocks decoded before, so
// that decoding and writing overlap on two cores.
//
// The walk sees exactly what it saw when it decoded each block itself on
// reaching the block's first file: the blocks in the same order (an entry
// without data still drops the cached block, so a block is decoded again
// after one), the percentages of a block's decoding handed to the walk's
// thread in order just before that block's first file, and a decoding error
// in place of the block. Decoded blocks wait for the walk within the largest
// block plus a few MB. When no thread can be started, each block is decoded
// on demand, as before.
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "7z.h"
#include "app/Handles.h"

class BlockDecoder {
  public:
    BlockDecoder(const CSzArEx& db, ILookInStreamPtr input, ISzAllocPtr alloc);
    ~BlockDecoder();
    BlockDecoder(const BlockDecoder&) = delete;
    BlockDecoder& operator=(const BlockDecoder&) = delete;

    // Starts decoding ahead of the walk.
    void Start();
    // Off: every block is decoded on demand on the walk's thread, as the
    // reference the decoding ahead must match (for tests). On by default.
    static void SetDecodeAhead(bool on);
    // The bytes of file entry `index` (null and 0 for an entry without
    // data), after delivering the percentages reported while its block was
    // decoded; the archive reader's code (0 for success).
    int EntryData(UInt32 index, const uint8_t** data, size_t* size);

  private:
    struct Event {
        enum Kind { kPercent, kBlock, kError } kind;
        int value;  // the percentage, the block's job number, or the error code
    };
    struct Job {
        UInt32 folder = 0;
        size_t size = 0;                      // SIZE_MAX: too large to hold
        UInt32 firstEntry = 0, endEntry = 0;  // the entries it serves lie in between
        Byte* buffer = nullptr;
    };

    void PlanJobs();
    static DWORD WINAPI ThreadMain(LPVOID self);
    void DecodeAll();
    bool WaitForRoom(size_t need);
    // Decodes job `k` and queues its block or its error; false after an error.
    bool DecodeJob(size_t k);
    void CheckCrcs(const Job& job);
    void Push(Event event);
    // Waits for the block of job `k`, delivering the percentages before it.
    int AwaitJob(size_t k);
    void Release(size_t k);
    static void QueuePercent(int percent);

    const CSzArEx& db_;
    ILookInStreamPtr input_;
    ISzAllocPtr alloc_;
    std::vector<Job> jobs_;
    std::vector<int> jobOfEntry_;  // -1: an entry without data
    std::vector<uint8_t> crcBad_;  // per entry, set with its block
    size_t budget_ = 0;
    void (*percentTarget_)(int) = nullptr;

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    std::deque<Event> events_;
    size_t inFlight_ = 0;  // bytes of blocks decoded or decoding, not yet released
    bool stop_ = false;
    bool finished_ = false;  // the thread has queued its last event
    UniqueHandleKernel thread_;

    // Walk side only.
    size_t nextInline_ = 0;  // next job to decode on demand when there is no thread
    int current_ = -1;       // the job whose block the walk holds
    int failure_ = 0;        // the error that ended the decoding, once seen
};
