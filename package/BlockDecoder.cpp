#include "package/BlockDecoder.h"

#include <algorithm>

#include "7zCrc.h"
#include "package/DecodeProgress.h"
#include "package/MemoryStream.h"

namespace {

// Room for more blocks while the walk still writes the largest one.
constexpr size_t kSlackBytes = size_t{8} << 20;
constexpr size_t kLookAheadBytes = 16 * 1024;
constexpr unsigned kMaxThreads = 2;
constexpr size_t kMaxSpares = 4;

bool g_decodeAhead = true;
// The decode progress steps of the block this thread decodes.
thread_local std::vector<size_t>* t_steps = nullptr;

unsigned DecodingThreads() {
    SYSTEM_INFO info = {};
    ::GetSystemInfo(&info);
    return info.dwNumberOfProcessors >= kMaxThreads ? kMaxThreads : 1;
}

}  // namespace

// A decoding thread's own read position over the archive's bytes.
struct BlockDecoder::Reader {
    Reader(const MemoryStream& from, ISzAllocPtr alloc)
        : stream(from.Data(), from.Size()), alloc(alloc) {
        uint8_t head[MemoryStream::kMaxPatch] = {};
        size_t n = 0;
        for (; n < sizeof(head) && n < from.Size(); ++n)
            head[n] = from.PresentedByte(static_cast<uint32_t>(n));
        stream.PatchHead(head, n);
        LookToRead2_CreateVTable(&look, False);
        look.buf = static_cast<Byte*>(ISzAlloc_Alloc(alloc, kLookAheadBytes));
        look.bufSize = kLookAheadBytes;
        look.realStream = stream.Interface();
        LookToRead2_INIT(&look);
    }
    ~Reader() { ISzAlloc_Free(alloc, look.buf); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    MemoryStream stream;
    ISzAllocPtr alloc;
    CLookToRead2 look;
};

BlockDecoder::BlockDecoder(const CSzArEx& db, const MemoryStream& stream, ILookInStreamPtr input,
                           ISzAllocPtr alloc)
    : db_(db), stream_(stream), input_(input), alloc_(alloc) {
    PlanJobs();
    // Releasing a block never allocates under the lock.
    spares_.reserve(kMaxSpares + 1);
}

BlockDecoder::~BlockDecoder() {
    ::AcquireSRWLockExclusive(&lock_);
    stop_ = true;
    ::ReleaseSRWLockExclusive(&lock_);
    ::WakeAllConditionVariable(&changed_);
    for (UniqueHandleKernel& thread : threads_) ::WaitForSingleObject(thread.get(), INFINITE);
    for (Job& job : jobs_) ISzAlloc_Free(alloc_, job.buffer);
    FreeSpares(0);
    if (progressHook_) SzDecodeProgressHook = progressHook_;
}

void BlockDecoder::SetDecodeAhead(bool on) { g_decodeAhead = on; }

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
            jobs_.push_back(std::move(job));
            cached = static_cast<int>(jobs_.size() - 1);
        }
        jobOfEntry_[i] = cached;
        jobs_[static_cast<size_t>(cached)].endEntry = i + 1;
        if (jobs_[static_cast<size_t>(cached)].size == 0) cached = -1;
    }
    budget_ = largest + kSlackBytes;
}

void BlockDecoder::Start() {
    // The progress of every block is recorded by the thread that decodes it
    // and replayed in the walk's order on the walk's thread.
    progressHook_ = SzDecodeProgressHook;
    if (progressHook_) SzDecodeProgressHook = &RecordStep;
    if (!g_decodeAhead || jobs_.empty()) return;
    const unsigned count = DecodingThreads();
    for (unsigned t = 0; t < count; ++t) {
        UniqueHandleKernel thread(::CreateThread(nullptr, 0, &ThreadMain, this, 0, nullptr));
        if (!thread) break;
        threads_.push_back(std::move(thread));
    }
}

void BlockDecoder::RecordStep(size_t packedBytes) {
    if (t_steps) t_steps->push_back(packedBytes);
}

DWORD WINAPI BlockDecoder::ThreadMain(LPVOID self) {
    static_cast<BlockDecoder*>(self)->DecodeAll();
    return 0;
}

void BlockDecoder::DecodeAll() {
    Reader reader(stream_, alloc_);
    size_t k = 0;
    while (ClaimJob(k)) {
        Job& job = jobs_[k];
        if (reader.look.buf) {
            DecodeJob(job, &reader.look.vt);
        } else {
            job.result = SZ_ERROR_MEM;
        }
        ::AcquireSRWLockExclusive(&lock_);
        job.done = true;
        if (job.result != SZ_OK && k < failedJob_) failedJob_ = k;
        ::ReleaseSRWLockExclusive(&lock_);
        ::WakeAllConditionVariable(&changed_);
    }
}

// The block the walk waits for always gets its room before any later one:
// a later block is claimed out of turn only while the blocks claimed ahead,
// it and the next block in order fit together, so once the walk has passed
// the blocks before the next one there is room for it.
bool BlockDecoder::ClaimJob(size_t& k) {
    ::AcquireSRWLockExclusive(&lock_);
    for (;;) {
        // Blocks after a failed one are never needed: the walk ends there.
        const size_t limit = failedJob_ < jobs_.size() ? failedJob_ : jobs_.size();
        if (stop_ || nextJob_ >= limit) break;
        if (TryClaim(limit, k)) {
            ::ReleaseSRWLockExclusive(&lock_);
            return true;
        }
        ::SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
    }
    ::ReleaseSRWLockExclusive(&lock_);
    return false;
}

bool BlockDecoder::TryClaim(size_t limit, size_t& k) {
    const size_t need = jobs_[nextJob_].size;
    if (need == SIZE_MAX || TakeRoom(nextJob_, budget_)) {
        k = nextJob_;
        nextJob_ += 1 + aheadCount_;
        aheadCount_ = 0;
        aheadBytes_ = 0;
        return true;
    }
    const size_t later = nextJob_ + 1 + aheadCount_;
    if (later >= limit || jobs_[later].size == SIZE_MAX) return false;
    if (aheadBytes_ + need >= budget_ || !TakeRoom(later, budget_ - aheadBytes_ - need)) {
        return false;
    }
    aheadBytes_ += jobs_[later].charge;
    ++aheadCount_;
    k = later;
    return true;
}

bool BlockDecoder::TakeRoom(size_t k, size_t room) {
    Job& job = jobs_[k];
    const size_t need = job.size;
    // A spare a little larger will do; a much larger one would crowd out
    // the blocks decoded beside it.
    size_t best = spares_.size();
    for (size_t i = 0; i < spares_.size(); ++i) {
        const size_t size = spares_[i].size;
        if (size >= need && size - need <= need / 8 &&
            (best == spares_.size() || size < spares_[best].size))
            best = i;
    }
    if (best < spares_.size() && inFlight_ + spares_[best].size <= budget_ &&
        spares_[best].size <= room) {
        job.buffer = spares_[best].buffer;
        job.charge = spares_[best].size;
        spareBytes_ -= job.charge;
        spares_.erase(spares_.begin() + static_cast<std::ptrdiff_t>(best));
    } else if (inFlight_ == 0 || (inFlight_ + need <= budget_ && need <= room)) {
        job.charge = need;
        // Spares give way to the buffer allocated instead.
        while (!spares_.empty() && inFlight_ + need + spareBytes_ > budget_)
            FreeSpares(spares_.size() - 1);
    } else {
        return false;
    }
    inFlight_ += job.charge;
    return true;
}

// Frees the spares from the `keep`th on, the largest first.
void BlockDecoder::FreeSpares(size_t keep) {
    std::sort(spares_.begin(), spares_.end(),
              [](const Spare& a, const Spare& b) { return a.size < b.size; });
    while (spares_.size() > keep) {
        ISzAlloc_Free(alloc_, spares_.back().buffer);
        spareBytes_ -= spares_.back().size;
        spares_.pop_back();
    }
}

void BlockDecoder::DecodeJob(Job& job, ILookInStreamPtr input) {
    if (job.size == SIZE_MAX) {
        job.result = SZ_ERROR_MEM;
        return;
    }
    if (job.size != 0 && !job.buffer) {
        job.buffer = static_cast<Byte*>(ISzAlloc_Alloc(alloc_, job.size));
        if (!job.buffer) {
            job.result = SZ_ERROR_MEM;
            return;
        }
    }
    t_steps = &job.steps;
    job.result =
        SzAr_DecodeFolder(&db_.db, job.folder, input, db_.dataPos, job.buffer, job.size, alloc_);
    t_steps = nullptr;
    if (job.result == SZ_OK) CheckCrcs(job);
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

void BlockDecoder::Release(size_t k) {
    Job& job = jobs_[k];
    ::AcquireSRWLockExclusive(&lock_);
    if (threads_.empty() || !job.buffer) {
        ISzAlloc_Free(alloc_, job.buffer);
    } else {
        spares_.push_back({job.buffer, job.charge});
        spareBytes_ += job.charge;
        FreeSpares(kMaxSpares);
    }
    job.buffer = nullptr;
    if (job.size != SIZE_MAX && !threads_.empty()) inFlight_ -= job.charge;
    ::ReleaseSRWLockExclusive(&lock_);
    ::WakeAllConditionVariable(&changed_);
}

int BlockDecoder::AwaitJob(size_t k) {
    Job& job = jobs_[k];
    if (threads_.empty()) {
        // Decoded here, as the walk needs it.
        DecodeJob(job, input_);
    } else {
        ::AcquireSRWLockExclusive(&lock_);
        while (!job.done) ::SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
        ::ReleaseSRWLockExclusive(&lock_);
    }
    if (progressHook_) {
        for (const size_t step : job.steps) progressHook_(step);
    }
    job.steps = std::vector<size_t>();
    return job.result;
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
        if (res != SZ_OK) {
            failure_ = res;
            return res;
        }
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
