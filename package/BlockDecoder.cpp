#include "package/BlockDecoder.h"

#include "7zCrc.h"
#include "package/DecodeProgress.h"

namespace {

// Room for the next block while the walk still writes the largest one.
constexpr size_t kSlackBytes = size_t{8} << 20;

// The decoder whose thread the decode progress hook runs on (one at a time).
BlockDecoder* g_active = nullptr;
bool g_decodeAhead = true;

}  // namespace

BlockDecoder::BlockDecoder(const CSzArEx& db, ILookInStreamPtr input, ISzAllocPtr alloc)
    : db_(db), input_(input), alloc_(alloc) {
    PlanJobs();
}

BlockDecoder::~BlockDecoder() {
    ::AcquireSRWLockExclusive(&lock_);
    stop_ = true;
    ::ReleaseSRWLockExclusive(&lock_);
    ::WakeAllConditionVariable(&changed_);
    if (thread_) ::WaitForSingleObject(thread_.get(), INFINITE);
    for (Job& job : jobs_) ISzAlloc_Free(alloc_, job.buffer);
    if (g_active == this) {
        TheDecodeProgress().percentTarget = percentTarget_;
        g_active = nullptr;
    }
}

// Follows the reader's one-block cache over the file entries: a block is
// decoded when a file needs another block than the cached one, and an entry
// without data, or a block of no bytes, leaves nothing cached.
void BlockDecoder::PlanJobs() {
    jobOfEntry_.assign(db_.NumFiles, -1);
    crcBad_.assign(db_.NumFiles, 0);
    int cached = -1;
    size_t largest = 0;
    for (UInt32 i = 0; i < db_.NumFiles; ++i) {
        if (SzArEx_IsDir(&db_, i)) continue;
        const UInt32 folder = db_.FileToFolder[i];
        if (folder == static_cast<UInt32>(-1)) {
            cached = -1;
            continue;
        }
        if (cached < 0 || jobs_[static_cast<size_t>(cached)].folder != folder) {
            Job job;
            job.folder = folder;
            job.firstEntry = i;
            const UInt64 size = SzAr_GetFolderUnpackSize(&db_.db, folder);
            // A block that cannot be held fails with "can not allocate".
            job.size = size == static_cast<size_t>(size) ? static_cast<size_t>(size) : SIZE_MAX;
            if (job.size != SIZE_MAX && job.size > largest) largest = job.size;
            jobs_.push_back(job);
            cached = static_cast<int>(jobs_.size() - 1);
        }
        jobOfEntry_[i] = cached;
        jobs_[static_cast<size_t>(cached)].endEntry = i + 1;
        if (jobs_[static_cast<size_t>(cached)].size == 0) cached = -1;
    }
    budget_ = largest + kSlackBytes;
}

void BlockDecoder::SetDecodeAhead(bool on) { g_decodeAhead = on; }

void BlockDecoder::Start() {
    if (jobs_.empty()) return;
    DecodeProgress& progress = TheDecodeProgress();
    if (progress.percentTarget && !g_active) {
        percentTarget_ = progress.percentTarget;
        progress.percentTarget = &QueuePercent;
        g_active = this;
    }
    if (g_decodeAhead) thread_.reset(::CreateThread(nullptr, 0, &ThreadMain, this, 0, nullptr));
}

DWORD WINAPI BlockDecoder::ThreadMain(LPVOID self) {
    static_cast<BlockDecoder*>(self)->DecodeAll();
    return 0;
}

void BlockDecoder::DecodeAll() {
    for (size_t k = 0; k < jobs_.size(); ++k) {
        if (!WaitForRoom(jobs_[k].size) || !DecodeJob(k)) break;
    }
    ::AcquireSRWLockExclusive(&lock_);
    finished_ = true;
    ::ReleaseSRWLockExclusive(&lock_);
    ::WakeAllConditionVariable(&changed_);
}

bool BlockDecoder::WaitForRoom(size_t need) {
    ::AcquireSRWLockExclusive(&lock_);
    while (!stop_ && need != SIZE_MAX && inFlight_ > 0 && inFlight_ + need > budget_) {
        ::SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
    }
    const bool go = !stop_;
    if (go && need != SIZE_MAX) inFlight_ += need;
    ::ReleaseSRWLockExclusive(&lock_);
    return go;
}

bool BlockDecoder::DecodeJob(size_t k) {
    Job& job = jobs_[k];
    SRes res = SZ_OK;
    if (job.size == SIZE_MAX) {
        res = SZ_ERROR_MEM;
    } else if (job.size != 0) {
        job.buffer = static_cast<Byte*>(ISzAlloc_Alloc(alloc_, job.size));
        if (!job.buffer) res = SZ_ERROR_MEM;
    }
    if (res == SZ_OK) {
        res = SzAr_DecodeFolder(&db_.db, job.folder, input_, db_.dataPos, job.buffer, job.size,
                                alloc_);
    }
    if (res != SZ_OK) {
        Push({Event::kError, res});
        return false;
    }
    CheckCrcs(job);
    Push({Event::kBlock, static_cast<int>(k)});
    return true;
}

void BlockDecoder::CheckCrcs(const Job& job) {
    const UInt64 start = db_.UnpackPositions[db_.FolderToFile[job.folder]];
    const int k = static_cast<int>(&job - jobs_.data());
    for (UInt32 i = job.firstEntry; i < job.endEntry; ++i) {
        if (jobOfEntry_[i] != k || !SzBitWithVals_Check(&db_.CRCs, i)) continue;
        const UInt64 offset = db_.UnpackPositions[i] - start;
        const UInt64 size = db_.UnpackPositions[i + 1] - db_.UnpackPositions[i];
        if (offset + size > job.size) continue;  // the walk fails it
        crcBad_[i] = CrcCalc(job.buffer + offset, static_cast<size_t>(size)) != db_.CRCs.Vals[i];
    }
}

void BlockDecoder::Push(Event event) {
    ::AcquireSRWLockExclusive(&lock_);
    events_.push_back(event);
    ::ReleaseSRWLockExclusive(&lock_);
    ::WakeAllConditionVariable(&changed_);
}

void BlockDecoder::QueuePercent(int percent) {
    if (g_active) g_active->Push({Event::kPercent, percent});
}

void BlockDecoder::Release(size_t k) {
    Job& job = jobs_[k];
    ::AcquireSRWLockExclusive(&lock_);
    ISzAlloc_Free(alloc_, job.buffer);
    job.buffer = nullptr;
    if (job.size != SIZE_MAX) inFlight_ -= job.size;
    ::ReleaseSRWLockExclusive(&lock_);
    ::WakeAllConditionVariable(&changed_);
}

int BlockDecoder::AwaitJob(size_t k) {
    for (;;) {
        Event event{Event::kError, SZ_ERROR_FAIL};
        ::AcquireSRWLockExclusive(&lock_);
        while (thread_ && events_.empty() && !finished_) {
            ::SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
        }
        const bool have = !events_.empty();
        if (have) {
            event = events_.front();
            events_.pop_front();
        }
        ::ReleaseSRWLockExclusive(&lock_);
        if (!have) {
            // No thread: decode the next block here, as the walk needs it.
            if (thread_ || nextInline_ >= jobs_.size()) return SZ_ERROR_FAIL;
            const size_t next = nextInline_++;
            inFlight_ += jobs_[next].size == SIZE_MAX ? 0 : jobs_[next].size;
            DecodeJob(next);
            continue;
        }
        switch (event.kind) {
            case Event::kPercent:
                if (percentTarget_) percentTarget_(event.value);
                break;
            case Event::kBlock:
                if (static_cast<size_t>(event.value) == k) return SZ_OK;
                break;
            case Event::kError:
                failure_ = event.value;
                return event.value;
        }
    }
}

int BlockDecoder::EntryData(UInt32 index, const uint8_t** data, size_t* size) {
    *data = nullptr;
    *size = 0;
    if (failure_) return failure_;
    const int job = index < jobOfEntry_.size() ? jobOfEntry_[index] : -1;
    if (job != current_ && current_ >= 0) {
        Release(static_cast<size_t>(current_));
        current_ = -1;
    }
    if (job < 0) return SZ_OK;
    if (current_ < 0) {
        const int res = AwaitJob(static_cast<size_t>(job));
        if (res != SZ_OK) return res;
        current_ = job;
    }
    const Job& block = jobs_[static_cast<size_t>(job)];
    const UInt64 start = db_.UnpackPositions[db_.FolderToFile[block.folder]];
    const UInt64 offset = db_.UnpackPositions[index] - start;
    const UInt64 length = db_.UnpackPositions[index + 1] - db_.UnpackPositions[index];
    if (offset + length > block.size) return SZ_ERROR_FAIL;
    if (crcBad_[index]) return SZ_ERROR_CRC;
    *data = block.buffer ? block.buffer + offset : nullptr;
    *size = static_cast<size_t>(length);
    return SZ_OK;
}
