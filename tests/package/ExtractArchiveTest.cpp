#include <gtest/gtest.h>

#include <windows.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "PackageTestUtil.h"
#include "SevenZipWriter.h"
#include "package/BlockDecoder.h"
#include "package/DecodeProgress.h"
#include "package/EntryWriter.h"
#include "package/ExtractArchive.h"
#include "package/ExtractionWorker.h"
#include "package/MemoryStream.h"
#include "support/ScriptTest.h"
#include "base/PathUtil.h"
#include "package/LogText.h"
#include "support/TestProcess.h"
#include "support/UnixLink.h"

namespace {

struct HeldFile {
    explicit HeldFile(HANDLE h) : handle(h) {}
    ~HeldFile() {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
    HANDLE handle;
};

// Runs the driver in-process with the log captured and OnSetupProgress
// recording into the script global `events`.
class ExtractArchiveTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        root_ = MakeScratchDir(L"extract");
        folder_ = root_ + L"\\a\\b\\install";
        ASSERT_TRUE(::CreateDirectoryW((root_ + L"\\a").c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW((root_ + L"\\a\\b").c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
        ExtractionJob& job = TheExtractionJob();
        job.installFolder = folder_;
        job.is64BitSystem = true;
        job.uiThread = ::GetCurrentThreadId();
        SetExtractionLogCapture(&log_);
        ASSERT_EQ(Run("events = {}\n"
                      "function OnSetupProgress(p, i, c) events[#events + 1] = p .. '|' .. i .. "
                      "'|' .. c end"),
                  "");
    }
    void TearDown() override {
        SetExtractionLogCapture(nullptr);
        ScriptTest::TearDown();
    }

    int Extract(const std::string& archive) {
        GuardedBytes bytes(archive, /*readOnly=*/true);
        MemoryStream stream(bytes.data(), bytes.size());
        return ExtractArchiveWithCode(stream);
    }

    std::vector<std::string> Events() {
        std::vector<std::string> out;
        const int64_t n = Int("#events");
        for (int64_t i = 1; i <= n; ++i) out.push_back(Text("events[" + std::to_string(i) + "]"));
        return out;
    }

    std::wstring In(const std::wstring& relative) const { return folder_ + L"\\" + relative; }

    std::wstring root_, folder_;
    std::string log_;
};

TEST_F(ExtractArchiveTest, ArchivesOfThePeerToolExtractByteExact) {
    const std::vector<std::wstring> files = {L"docs\\readme.txt", L"bin\\noise.bin",
                                             L"bin\\tool.dll", L"docs\\sub\\empty.txt"};
    for (const wchar_t* archive :
         {L"lzma.7z", L"lzma-nonsolid.7z", L"lzma2.7z", L"bcj.7z", L"copy.7z"}) {
        SCOPED_TRACE(Narrow(archive));
        const std::string bytes = ReadAll(FixturePath(archive));
        ASSERT_FALSE(bytes.empty());
        log_.clear();
        folder_ = MakeScratchDir(L"peer");
        TheExtractionJob().installFolder = folder_;
        EXPECT_EQ(Extract(bytes), 0) << log_;
        EXPECT_NE(log_.find("\nEverything is Ok\n"), std::string::npos) << log_;
        EXPECT_NE(log_.find("docs/"), std::string::npos) << log_;  // folders end with "/"
        for (const std::wstring& f : files) {
            EXPECT_TRUE(PathExists(In(f))) << Narrow(f);
            EXPECT_EQ(ReadAll(In(f)), ReadAll(FixturePath(L"tree\\" + f))) << Narrow(f);
        }
        EXPECT_TRUE(PathExists(In(L"emptydir")));
    }
}

TEST_F(ExtractArchiveTest, ArchitectureEntriesFollowTheSystem) {
    SevenZipWriter w;
    w.AddFolder(L"bin");
    w.AddFolder(L"r_x86");
    w.AddFile(L"r_x86//bin/tool.dll", "x86");
    w.AddFile(L"r_x64//bin/tool.dll", "x64");
    w.AddFile(L"r_x86//r_x64//both.txt", "both");
    const std::string archive = w.Build();
    struct Case {
        bool is64;
        const char* content;
        std::vector<std::string> skipped;
    };
    for (const Case& c :
         {Case{true, "x64", {"r_x86//bin/tool.dll|2|5", "r_x86//r_x64//both.txt|4|5"}},
          Case{false, "x86", {"r_x64//bin/tool.dll|3|5", "r_x64//both.txt|4|5"}}}) {
        SCOPED_TRACE(c.is64 ? "64-bit system" : "32-bit system");
        folder_ = MakeScratchDir(L"arch");
        TheExtractionJob().installFolder = folder_;
        TheExtractionJob().is64BitSystem = c.is64;
        ASSERT_EQ(Run("events = {}"), "");
        EXPECT_EQ(Extract(archive), 0) << log_;
        EXPECT_EQ(ReadAll(In(L"bin\\tool.dll")), c.content);
        EXPECT_TRUE(PathExists(In(L"r_x86")));  // an ordinary folder of that name
        EXPECT_FALSE(PathExists(In(L"both.txt")));
        EXPECT_FALSE(PathExists(In(L"r_x64\\both.txt")));
        EXPECT_EQ(Events(), c.skipped);
    }
}

TEST_F(ExtractArchiveTest, ExistingFilesAreReplacedEvenWhenHeldOpen) {
    SevenZipWriter w;
    w.AddFile(L"plain.txt", "new plain");
    w.AddFile(L"held.dll", "new held");
    ASSERT_TRUE(WriteFileBytes(In(L"plain.txt"), "old plain"));
    ASSERT_TRUE(WriteFileBytes(In(L"held.dll"), "old held"));
    // Held the way a running program holds its files: may be renamed, not
    // written.
    HeldFile held(::CreateFileW(In(L"held.dll").c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                nullptr));
    ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Extract(w.Build()), 0) << log_;
    EXPECT_EQ(ReadAll(In(L"plain.txt")), "new plain");
    EXPECT_EQ(ReadAll(In(L"held.dll")), "new held");
}

TEST_F(ExtractArchiveTest, FileThatCannotBeReplacedStopsWithCode11) {
    SevenZipWriter w;
    w.AddFile(L"first.txt", "1");
    w.AddFile(L"locked.txt", "new");
    w.AddFile(L"last.txt", "3");
    ASSERT_TRUE(WriteFileBytes(In(L"locked.txt"), "old"));
    HeldFile held(::CreateFileW(In(L"locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                0, nullptr));
    ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Extract(w.Build()), kExtractNotWritten);
    EXPECT_NE(log_.find("\nERROR #11\n"), std::string::npos) << log_;
    EXPECT_EQ(ReadAll(In(L"first.txt")), "1");
    EXPECT_FALSE(PathExists(In(L"last.txt")));
}

TEST_F(ExtractArchiveTest, FolderInTheWayOfAFileIsKept) {
    SevenZipWriter w;
    w.AddFile(L"data", "a file where the user has a folder");
    ASSERT_TRUE(::CreateDirectoryW(In(L"data").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(In(L"data\\mine.txt"), "the user's"));
    EXPECT_EQ(Extract(w.Build()), kExtractNotWritten);
    EXPECT_EQ(ReadAll(In(L"data\\mine.txt")), "the user's");
}

TEST_F(ExtractArchiveTest, SignatureRule) {
    SevenZipWriter w;
    w.AddFile(L"f.txt", "content");
    const std::string good = w.Build();
    struct Case {
        const char* what;
        std::string head;  // replaces the archive's first bytes
        int code;
        const char* line;
    };
    const std::string z2(2, '\0');
    for (const Case& c : {Case{"zeroed first bytes", z2, 0, "\nEverything is Ok\n"},
                          Case{"wrong signature", "8z", 17, "\nERROR #17\n"},
                          Case{"one zero byte", std::string("\0z", 2), 17, "\nERROR #17\n"},
                          Case{"zeroes, wrong tail", z2 + "\xBD", 17, "\nERROR #17\n"},
                          Case{"major version 1", "7z\xBC\xAF\x27\x1C\x01", 4,
                               "\nERROR: decoder doesn't support this archive\n"}}) {
        SCOPED_TRACE(c.what);
        std::string archive = good;
        archive.replace(0, c.head.size(), c.head);
        log_.clear();
        EXPECT_EQ(Extract(archive), c.code);
        EXPECT_NE(log_.find(c.line), std::string::npos) << log_;
    }
}

TEST_F(ExtractArchiveTest, CrcErrorKeepsTheFilesBeforeIt) {
    SevenZipWriter w;
    w.AddFile(L"a.txt", "alpha");
    w.AddFile(L"b.txt", "bravo");
    w.AddFile(L"c.txt", "charlie");
    EXPECT_EQ(Extract(w.Build(/*badCrcFile=*/1)), 3);
    EXPECT_NE(log_.find("\nERROR: CRC error\n"), std::string::npos) << log_;
    EXPECT_EQ(ReadAll(In(L"a.txt")), "alpha");
    EXPECT_FALSE(PathExists(In(L"c.txt")));
}

TEST_F(ExtractArchiveTest, EmptyFilesAndFoldersAreCreated) {
    SevenZipWriter w;
    w.AddFolder(L"empty dir");
    w.AddFolder(L"data");
    w.AddFile(L"data\\zero.bin", "");
    w.AddFile(L"data/one.bin", "1");
    EXPECT_EQ(Extract(w.Build()), 0) << log_;
    EXPECT_TRUE(PathExists(In(L"empty dir")));
    EXPECT_TRUE(PathExists(In(L"data\\zero.bin")));
    EXPECT_EQ(ReadAll(In(L"data\\zero.bin")), "");
    EXPECT_EQ(ReadAll(In(L"data\\one.bin")), "1");
    EXPECT_EQ(log_, "empty dir/data/data\\zero.bindata/one.bin\nEverything is Ok\n");
}

TEST_F(ExtractArchiveTest, FolderListedAfterItsFilesFails) {
    SevenZipWriter w;
    w.AddFile(L"late\\f.txt", "f");
    w.AddFolder(L"late");
    EXPECT_EQ(Extract(w.Build()), kExtractNotWritten);
    EXPECT_NE(log_.find("\nERROR #11\n"), std::string::npos);
}

TEST_F(ExtractArchiveTest, HostileNamesAreRefusedAndNothingLandsOutside) {
    const std::vector<std::pair<std::wstring, bool>> hostile = {
        {L"..\\..\\evil.txt", false},
        {L"../../evil.txt", false},
        {L"sub\\..\\..\\..\\evil.txt", false},
        {L"C:\\evil.txt", false},
        {L"C:evil.txt", false},
        {L"\\evil.txt", false},
        {L"/evil.txt", false},
        {L"ok.txt:evil", false},
        {L"r_x64//../../evil.txt", false},
        {L"r_x64///evil.txt", false},
        {L"...\\evil.txt", false},
        {L"..", true},
        {L"..\\..\\evildir", true},
        {L"\\\\?\\C:\\evil.txt", false},
    };
    for (const auto& [name, folder] : hostile) {
        SCOPED_TRACE(Narrow(name));
        SevenZipWriter w;
        w.AddFolder(L"sub");
        w.AddFile(L"first.txt", "first");
        if (folder) {
            w.AddFolder(name);
        } else {
            w.AddFile(name, "evil");
        }
        w.AddFile(L"after.txt", "after");
        log_.clear();
        EXPECT_EQ(Extract(w.Build()), kExtractNotWritten);
        EXPECT_NE(log_.find("\nERROR: refused entry outside the install folder: " + Narrow(name)),
                  std::string::npos)
            << log_;
        EXPECT_NE(log_.find("\nERROR #11\n"), std::string::npos);
        EXPECT_EQ(ReadAll(In(L"first.txt")), "first");
        EXPECT_FALSE(PathExists(In(L"after.txt")));
        for (const wchar_t* outside :
             {L"\\evil.txt", L"\\a\\evil.txt", L"\\a\\b\\evil.txt", L"\\evildir", L"\\a\\evildir"})
            EXPECT_FALSE(PathExists(root_ + outside)) << Narrow(outside);
        EXPECT_FALSE(PathExists(L"C:\\evil.txt"));
        ::DeleteFileW(In(L"first.txt").c_str());
    }
}

// A link below the install folder (planted where a normal user can write)
// must not carry the elevated installer's writes elsewhere.
TEST_F(ExtractArchiveTest, LinksInTheInstallFolderAreRefused) {
    const std::wstring outside = MakeScratchDir(L"outside");
    ASSERT_TRUE(WriteFileBytes(outside + L"\\victim.txt", "precious"));
    const struct {
        const wchar_t* link;   // made below the install folder, to `outside`
        bool toFile;           // links to outside\victim.txt instead
        const wchar_t* entry;  // the payload entry that meets it
        bool entryIsFolder;
    } cases[] = {
        {L"linked", false, L"linked\\victim.txt", false},
        {L"linked", false, L"linked\\new.txt", false},
        {L"linked", false, L"linked", true},
        {L"linked", false, L"linked/sub", true},
        {L"deep\\linked", false, L"deep\\linked\\victim.txt", false},
        {L"victim.txt", true, L"victim.txt", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.entry));
        folder_ = MakeScratchDir(L"linkinstall");
        TheExtractionJob().installFolder = folder_;
        ASSERT_TRUE(CreateDirectoryTree(In(L"deep")));
        if (!MakeUnixLink(In(c.link), c.toFile ? outside + L"\\victim.txt" : outside))
            GTEST_SKIP() << "no links here";
        SevenZipWriter w;
        w.AddFolder(L"deep");
        if (c.entryIsFolder) {
            w.AddFolder(c.entry);
        } else {
            w.AddFile(c.entry, "overwritten");
        }
        w.AddFile(L"after.txt", "after");
        log_.clear();
        EXPECT_EQ(Extract(w.Build()), kExtractNotWritten);
        EXPECT_NE(log_.find("\nERROR: refused entry through a link in the install folder: " +
                            Narrow(c.entry)),
                  std::string::npos)
            << log_;
        EXPECT_EQ(ReadAll(outside + L"\\victim.txt"), "precious");
        EXPECT_FALSE(PathExists(outside + L"\\new.txt"));
        EXPECT_FALSE(PathExists(outside + L"\\sub"));
        EXPECT_FALSE(PathExists(In(L"after.txt")));
    }
}

// The install folder itself is the user's choice and may be a link.
TEST_F(ExtractArchiveTest, InstallFolderMayBeALink) {
    const std::wstring real = MakeScratchDir(L"realinstall");
    folder_ = MakeScratchDir(L"linkroot") + L"\\app";
    if (!MakeUnixLink(folder_, real)) GTEST_SKIP() << "no links here";
    TheExtractionJob().installFolder = folder_;
    SevenZipWriter w;
    w.AddFolder(L"bin");
    w.AddFile(L"bin\\tool.dll", "tool");
    EXPECT_EQ(Extract(w.Build()), 0) << log_;
    EXPECT_EQ(ReadAll(real + L"\\bin\\tool.dll"), "tool");
}

// A device name opens the device instead of a file: the data would vanish
// and the install report success with the file missing.
TEST_F(ExtractArchiveTest, DeviceNamesAreRefused) {
    for (const wchar_t* name : {L"nul", L"sub\\COM1.txt", L"LPT9", L"con.", L"aux .txt", L"Com0",
                                L"CONIN$", L"r_x64//prn.log", L"NUL\\x.txt"}) {
        SCOPED_TRACE(Narrow(name));
        SevenZipWriter w;
        w.AddFolder(L"sub");
        w.AddFile(name, "data");
        w.AddFile(L"after.txt", "after");
        log_.clear();
        EXPECT_EQ(Extract(w.Build()), kExtractNotWritten);
        EXPECT_NE(log_.find("\nERROR: refused entry naming a device: " + Narrow(name)),
                  std::string::npos)
            << log_;
        EXPECT_FALSE(PathExists(In(L"after.txt")));
    }
    SevenZipWriter w;
    for (const wchar_t* name : {L"console.txt", L"com10", L"nul1", L"lpt", L"my nul.txt"})
        w.AddFile(name, "fine");
    log_.clear();
    EXPECT_EQ(Extract(w.Build()), 0) << log_;
    EXPECT_EQ(ReadAll(In(L"com10")), "fine");
}

// The system's "use UTF-8" option makes the console code page UTF-8, which
// takes no stand-in character: names must still convert.
TEST(ExtractLogText, NamesConvertInEveryConsoleCodePage) {
    const std::wstring name = L"d\u00FCr/\u4E2D.txt";
    const struct {
        UINT codePage;
        bool takesDefault;
        std::string expected;
    } cases[] = {
        {CP_UTF8, false, "d\xC3\xBCr/\xE4\xB8\xAD.txt"},
        {437, true, "d\x81r/_.txt"},
        {850, true, "d\x81r/_.txt"},
        {1252, true, "d\xFCr/_.txt"},
        {936, true, "d\xA8\xB9r/\xD6\xD0.txt"},
        {54936, false, ""},  // GB18030 holds every character
        {CP_UTF7, false, ""},
        {50220, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codePage);
        EXPECT_EQ(CodePageTakesDefaultChar(c.codePage), c.takesDefault);
        char out[64] = {};
        const int n = ConvertNameForLog(name.data(), name.size(), c.codePage, out, sizeof(out));
        if (!::IsValidCodePage(c.codePage)) continue;
        EXPECT_GT(n, 0);
        if (!c.expected.empty()) {
            EXPECT_EQ(std::string(out, n > 0 ? n : 0), c.expected);
        }
    }
}

TEST(EntryNames, SafeNames) {
    for (const wchar_t* name :
         {L"a.txt", L"dir\\file", L"dir/sub/file", L"a..b", L".hidden", L"name.", L"", L"r_x86"})
        EXPECT_TRUE(IsSafeEntryName(name)) << Narrow(name);
    for (const wchar_t* name : {L"..", L"a\\..\\..\\b", L"./x", L". .\\x", L"c:x", L"\\x", L"/x",
                                L"a:b", L"nul", L"dir\\com1.txt"})
        EXPECT_FALSE(IsSafeEntryName(name)) << Narrow(name);
}

TEST_F(ExtractArchiveTest, DamagedArchivesFailCleanly) {
    const std::string good = ReadAll(FixturePath(L"lzma.7z"));
    ASSERT_GT(good.size(), 1000u);
    for (size_t cut :
         {size_t{0}, size_t{5}, size_t{31}, size_t{32}, good.size() / 2, good.size() - 1}) {
        SCOPED_TRACE(cut);
        log_.clear();
        EXPECT_NE(Extract(good.substr(0, cut)), 0);
        EXPECT_NE(log_.find("\nERROR"), std::string::npos) << log_;
    }
    std::string flipped = good;
    flipped[good.size() / 3] ^= 0x55;  // inside the packed data
    log_.clear();
    EXPECT_NE(Extract(flipped), 0);
    EXPECT_NE(log_.find("\nERROR"), std::string::npos) << log_;
}

// Damage anywhere in the archive's headers gives a clear failure or, where
// the byte does not matter, the right files; never a crash or a stray write.
TEST_F(ExtractArchiveTest, FlippedHeaderBytesNeverCrash) {
    const std::string good = ReadAll(FixturePath(L"lzma.7z"));
    ASSERT_GT(good.size(), 1000u);
    std::vector<size_t> positions;
    for (size_t i = 0; i < 32; ++i) positions.push_back(i);
    for (size_t i = good.size() - 160; i < good.size(); i += 3) positions.push_back(i);
    for (size_t at : positions) {
        SCOPED_TRACE(at);
        std::string damaged = good;
        damaged[at] = static_cast<char>(damaged[at] ^ 0xA5);
        log_.clear();
        folder_ = MakeScratchDir(L"flip");
        TheExtractionJob().installFolder = folder_;
        const int code = Extract(damaged);
        if (code == 0) {
            EXPECT_EQ(ReadAll(In(L"docs\\readme.txt")),
                      ReadAll(FixturePath(L"tree\\docs\\readme.txt")));
        } else {
            EXPECT_NE(log_.find("\nERROR"), std::string::npos) << log_;
        }
        EXPECT_FALSE(PathExists(root_ + L"\\a\\b\\docs"));
    }
}

// Every file and folder below `root`, with the bytes of the files.
void CollectTree(const std::wstring& root, const std::wstring& relative,
                 std::map<std::wstring, std::string>& out) {
    WIN32_FIND_DATAW found;
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring rel = relative.empty() ? name : relative + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[rel + L"\\"] = "";
            CollectTree(root, rel, out);
        } else {
            out[rel] = ReadAll(root + L"\\" + rel);
        }
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

std::map<std::wstring, std::string> TreeOf(const std::wstring& root) {
    std::map<std::wstring, std::string> out;
    CollectTree(root, L"", out);
    return out;
}

// What an extraction shows: its code, log, progress reports and files.
struct Outcome {
    int code;
    std::string log;
    std::vector<std::string> events;
    std::map<std::wstring, std::string> tree;
};

class DecodeAheadTest : public ExtractArchiveTest {
  protected:
    // Extracts `archive` into a fresh folder, decoding each block when the
    // walk reaches it, then decoding ahead; `locked` (when given) is held
    // open without sharing meanwhile.
    void ExtractBothWays(const std::string& archive, const wchar_t* locked, Outcome (&out)[2]) {
        for (int ahead = 0; ahead < 2; ++ahead) {
            folder_ = MakeScratchDir(L"ahead");
            TheExtractionJob().installFolder = folder_;
            std::unique_ptr<HeldFile> held;
            if (locked) {
                const std::wstring path = In(locked);
                ASSERT_TRUE(CreateDirectoryTree(path.substr(0, path.find_last_of(L'\\'))));
                ASSERT_TRUE(WriteFileBytes(path, "old"));
                held = std::make_unique<HeldFile>(::CreateFileW(
                    path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                ASSERT_NE(held->handle, INVALID_HANDLE_VALUE);
            }
            ASSERT_EQ(Run("events = {}"), "");
            log_.clear();
            BlockDecoder::SetDecodeAhead(ahead == 1);
            BeginDecodeProgress(static_cast<uint32_t>(archive.size()), &ReportPercent);
            out[ahead].code = Extract(archive);
            EndDecodeProgress();
            BlockDecoder::SetDecodeAhead(true);
            out[ahead].log = log_;
            out[ahead].events = Events();
            held.reset();
            out[ahead].tree = TreeOf(folder_);
        }
    }

    static void ExpectSame(const Outcome (&outcome)[2]) {
        EXPECT_EQ(outcome[1].code, outcome[0].code);
        EXPECT_EQ(outcome[1].log, outcome[0].log);
        EXPECT_EQ(outcome[1].events, outcome[0].events);
        EXPECT_TRUE(outcome[1].tree == outcome[0].tree);
    }
};

// Decoding ahead on a thread of its own must not show: the same progress
// reports in the same order, the same log, result and files as decoding
// each block when the walk reaches it, also when a write fails halfway.
TEST_F(DecodeAheadTest, DecodingAheadChangesNothingVisible) {
    SevenZipWriter copy;  // one block per file, skipped entries between them
    copy.AddFolder(L"bin");
    for (int i = 0; i < 8; ++i) {
        copy.AddFile(L"bin\\f" + std::to_wstring(i) + L".txt", std::string(100 + i, 'a' + i));
        if (i % 3 == 0) copy.AddFile(L"r_x86//bin/s" + std::to_wstring(i) + L".dll", "x86");
    }
    const struct {
        const char* what;
        std::string archive;
        const wchar_t* locked;  // held open without sharing when given
    } cases[] = {
        {"many LZMA blocks", ReadAll(FixturePath(L"many.7z")), nullptr},
        {"many LZMA blocks, a write fails", ReadAll(FixturePath(L"many.7z")), L"docs\\note150.txt"},
        {"one solid block", ReadAll(FixturePath(L"lzma.7z")), nullptr},
        {"one solid block, a write fails", ReadAll(FixturePath(L"lzma.7z")), L"bin\\tool.dll"},
        {"copy blocks and skipped entries", copy.Build(), nullptr},
        {"copy blocks, a write fails", copy.Build(), L"bin\\f4.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.archive.empty());
        Outcome outcome[2];
        ExtractBothWays(c.archive, c.locked, outcome);
        EXPECT_EQ(outcome[1].code, c.locked ? kExtractNotWritten : 0) << outcome[1].log;
        ExpectSame(outcome);
        EXPECT_GT(outcome[1].tree.size(), 3u);
    }
}

// Large blocks leave no room for the next one beside them: the blocks after
// it are decoded meanwhile. A failure in one of those still ends the
// install exactly where decoding each block in turn ends it.
TEST_F(DecodeAheadTest, BlocksDecodedOutOfTurnChangeNothingVisible) {
    SevenZipWriter w;
    w.AddFolder(L"big");
    const size_t large = size_t{10} << 20, medium = size_t{3} << 20;
    const struct {
        const wchar_t* name;
        size_t size;
    } files[] = {{L"big\\a.bin", large}, {L"big\\b.bin", large}, {L"c.txt", medium},
                 {L"d.txt", medium},     {L"e.txt", medium},     {L"f.txt", 10},
                 {L"big\\g.bin", large}, {L"h.txt", 20}};
    for (size_t i = 0; i < sizeof(files) / sizeof(files[0]); ++i) {
        std::string data(files[i].size, static_cast<char>('a' + i));
        for (size_t k = 0; k < data.size(); k += 4093) data[k] = static_cast<char>(k >> 12);
        w.AddFile(files[i].name, data);
    }
    const struct {
        const char* what;
        int badCrcFile;
        const wchar_t* locked;
        int code;
    } cases[] = {
        {"all blocks sound", -1, nullptr, 0},
        {"a block decoded out of turn fails its checksum", 3, nullptr, 3},
        {"a block after the out-of-turn ones fails its checksum", 7, nullptr, 3},
        {"a write fails in a block decoded out of turn", -1, L"e.txt", kExtractNotWritten},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome outcome[2];
        ExtractBothWays(w.Build(c.badCrcFile), c.locked, outcome);
        EXPECT_EQ(outcome[1].code, c.code) << outcome[1].log;
        ExpectSame(outcome);
        EXPECT_GE(outcome[1].tree.size(), 3u);
    }
}

// Progress indexes arrive in order: percentages never go back, skipped
// entries come with rising indexes.
TEST_F(ExtractArchiveTest, ProgressArrivesInOrderAcrossBlocks) {
    const std::string archive = ReadAll(FixturePath(L"many.7z"));
    BeginDecodeProgress(static_cast<uint32_t>(archive.size()), &ReportPercent);
    EXPECT_EQ(Extract(archive), 0) << log_;
    EndDecodeProgress();
    std::vector<int> percents;
    for (const std::string& e : Events()) {
        ASSERT_EQ(e.compare(0, 1, "|"), 0) << e;
        percents.push_back(std::stoi(e.substr(1)));
    }
    ASSERT_GT(percents.size(), 10u);
    for (size_t i = 1; i < percents.size(); ++i) EXPECT_GT(percents[i], percents[i - 1]);
    EXPECT_GE(percents.back(), 95);
}

// Many tiny files, each a block of its own, and one large one among them,
// and many files in small LZMA blocks: the installed tree is byte-exact.
TEST_F(ExtractArchiveTest, ManyTinyFilesAndOneLargeEndByteExact) {
    SevenZipWriter w;
    std::map<std::wstring, std::string> expected;
    for (int d = 0; d < 10; ++d) {
        w.AddFolder(L"d" + std::to_wstring(d));
        expected[L"d" + std::to_wstring(d) + L"\\"] = "";
    }
    uint32_t seed = 12345;
    auto next = [&seed]() { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < 1200; ++i) {
        std::string data(next() % 200, '\0');
        for (char& ch : data) ch = static_cast<char>(next() >> 24);
        if (i == 600) {
            data.resize(20u << 20);
            for (size_t k = 0; k < data.size(); k += 4096) data[k] = static_cast<char>(next());
        }
        const std::wstring name = L"d" + std::to_wstring(i % 10) + L"\\t" + std::to_wstring(i);
        w.AddFile(name, data);
        expected[name] = data;
    }
    EXPECT_EQ(Extract(w.Build()), 0) << log_.substr(log_.size() > 500 ? log_.size() - 500 : 0);
    EXPECT_TRUE(TreeOf(folder_) == expected);

    folder_ = MakeScratchDir(L"many");
    TheExtractionJob().installFolder = folder_;
    EXPECT_EQ(Extract(ReadAll(FixturePath(L"many.7z"))), 0);
    EXPECT_TRUE(TreeOf(folder_) == TreeOf(FixturePath(L"many")));
}

}  // namespace
