#include <functional>

#include "TestIcon.h"
#include "TestPe.h"
#include "TestTree.h"
#include "tools/skinpack/HostResourceWriter.h"
#include "tools/skinpack/VersionInfo.h"

namespace {

const std::string kSkinpack = SKINPACK_EXE;

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

std::string ObjdumpFor(const TestPe& pe) {
    return pe.bytes[pe.coff] == 0x64 ? "x86_64-w64-mingw32-objdump" : "i686-w64-mingw32-objdump";
}

}  // namespace

class HostResourceWriterTest : public ScratchTest {
  protected:
    // Writes the host, embeds the three resources and returns the output.
    std::vector<uint8_t> Embed(const TestPe& pe, const std::string& name = "setup.exe") {
        WriteBytes(dir_ / "host.exe", pe.bytes);
        HostResourceWriter writer;
        std::string error;
        EXPECT_TRUE(writer.Open(dir_ / "host.exe", error)) << error;
        EXPECT_TRUE(writer.Put(u"LUA", kScriptResource, script_, error)) << error;
        EXPECT_TRUE(writer.Put(u"PAK", kSkinResource, skin_, error)) << error;
        EXPECT_TRUE(writer.Put(u"PAK", kPayloadResource, payload_, error)) << error;
        EXPECT_TRUE(writer.Write(dir_ / name, error)) << error;
        return ReadBytes(dir_ / name);
    }
    void SetUp() override {
        ScratchTest::SetUp();
        script_ = Put("setup.lua", "function OnRunSetup() end\n");
        skin_ = Put("skin.pak", MakeContent(3001, 7, true));
        payload_ = Put("payload.pak", MakeContent(300000, 9, false));
    }
    fs::path script_, skin_, payload_;
};

// The output must be what the platform's own tools read: objdump's headers,
// the resource compiler's decompiler and 7-Zip's resource listing.
TEST_F(HostResourceWriterTest, OutputReadsBackWithTheToolchainsTools) {
    for (bool x64 : {true, false}) {
        TestPeOptions options;
        options.x64 = x64;
        const TestPe pe = MakeTestPe(options);
        const std::vector<uint8_t> out = Embed(pe);
        const fs::path exe = dir_ / "setup.exe";
        std::string text;
        ASSERT_EQ(RunCommand(ObjdumpFor(pe) + " -p " + Quote(exe), &text), 0) << text;
        EXPECT_NE(text.find("Time/Date\t\tThu Jan  1 00:00:00 1970"), std::string::npos) << text;
        ASSERT_EQ(RunCommand("7zz l " + Quote(exe), &text), 0) << text;
        for (const char* line : {" 26  .rsrc/LUA/129", " 3001  .rsrc/PAK/130",
                                 " 300000  .rsrc/PAK/131", " 33  .rsrc/MANIFEST/1"})
            EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
        ASSERT_EQ(
            RunCommand("7zz e -so " + Quote(exe) + " .rsrc/PAK/131 > " + Quote(dir_ / "back.bin"),
                       &text),
            0)
            << text;
        EXPECT_EQ(ReadBytes(dir_ / "back.bin"), ReadBytes(payload_));
        ASSERT_EQ(RunCommand("x86_64-w64-mingw32-windres -i " + Quote(exe) + " -O rc", &text), 0)
            << text;
        for (const char* item : {"Type: \"LUA\"", "Type: \"PAK\"", "Name: 129.", "Name: 130.",
                                 "Name: 131.", "1 24 /* RT_MANIFEST */"})
            EXPECT_NE(text.find(item), std::string::npos) << item;
    }
}

TEST_F(HostResourceWriterTest, HeadersChecksumAndRelocationsAreFixed) {
    const TestPe pe = MakeTestPe();
    const std::vector<uint8_t> out = Embed(pe);
    const size_t rsrcHeader = pe.sectionTable + 40, relocHeader = pe.sectionTable + 80;
    const uint32_t rsrcSize = Get32(out, rsrcHeader + 8);
    EXPECT_GT(rsrcSize, 300000u + 3001 + 26);
    EXPECT_EQ(Get32(out, rsrcHeader + 16) % 0x200, 0u);
    EXPECT_EQ(Get32(out, pe.directories + 2 * 8 + 4), rsrcSize);
    const uint32_t relocAddress = Get32(out, relocHeader + 12);
    EXPECT_EQ(relocAddress % 0x1000, 0u);
    EXPECT_GE(relocAddress, pe.rsrcAddress + rsrcSize);
    EXPECT_EQ(Get32(out, pe.directories + 5 * 8), relocAddress);
    const uint32_t relocRaw = Get32(out, relocHeader + 20);
    EXPECT_EQ(relocRaw, 0x600 + Get32(out, rsrcHeader + 16));
    EXPECT_EQ(out.size(), relocRaw + 0x200u);
    EXPECT_EQ(
        std::vector<uint8_t>(out.begin() + relocRaw, out.end()),
        std::vector<uint8_t>(pe.bytes.begin() + static_cast<long>(pe.relocRaw), pe.bytes.end()));
    EXPECT_EQ(Get32(out, pe.optional + 56), relocAddress + 0x1000);  // SizeOfImage
    EXPECT_EQ(Get32(out, pe.optional + 8), Get32(out, rsrcHeader + 16) + 0x200);
    EXPECT_EQ(Get32(out, pe.optional + 64), ReferenceChecksum(out, pe.optional + 64));
    EXPECT_EQ(Get32(out, pe.coff + 4), 0u);
    EXPECT_EQ(Get32(out, pe.directories + 4 * 8 + 4), 0u);  // room for a signature
    // The code section is untouched.
    EXPECT_EQ(out[0x400], 0xC3);
}

TEST_F(HostResourceWriterTest, EqualInputsGiveEqualBytesAndEmbeddingAgainReplaces) {
    const TestPe pe = MakeTestPe();
    const std::vector<uint8_t> first = Embed(pe, "a.exe");
    fs::last_write_time(payload_, fs::last_write_time(payload_) - std::chrono::hours(30));
    const std::vector<uint8_t> second = Embed(pe, "b.exe");
    EXPECT_EQ(first, second);
    // An installer is itself a host: embedding the same inputs again gives
    // the same file, so the old resources were replaced, not kept.
    TestPe installer = pe;
    installer.bytes = first;
    EXPECT_EQ(Embed(installer, "c.exe"), first);
}

TEST_F(HostResourceWriterTest, HostsWithoutRelocationsOrResourceDataWork) {
    TestPeOptions options;
    options.reloc = false;
    const std::vector<uint8_t> out = Embed(MakeTestPe(options));
    std::string text;
    ASSERT_EQ(RunCommand(kSkinpack + " resources " + Quote(dir_ / "setup.exe"), &text), 0);
    EXPECT_EQ(text, "LUA 129 1033 26\nPAK 130 1033 3001\nPAK 131 1033 300000\n24 1 1033 33\n");
}

// Spoiled hosts are refused with a reason, never read out of bounds.
TEST_F(HostResourceWriterTest, HostileHostsAreRefusedWithAReason) {
    const TestPe base = MakeTestPe();
    const size_t r = base.rsrcRaw;
    const struct {
        const char* what;
        std::function<void(TestPe&)> spoil;
        TestPeOptions options;
        const char* message;
    } cases[] = {
        {"text", [](TestPe& p) { p.bytes.assign(100, 'x'); }, {}, "no MZ header"},
        {"no PE", [](TestPe& p) { p.bytes[0x40] = 'X'; }, {}, "no PE signature"},
        {"PE past end", [](TestPe& p) { Put32(p.bytes, 0x3C, 0xFFFFFFF0); }, {}, "no PE signature"},
        {"arm", [](TestPe& p) { p.bytes[p.coff] = 0xC4; }, {}, "not an x64 or x86"},
        {"dll", [](TestPe& p) { p.bytes[p.coff + 19] |= 0x20; }, {}, "DLL"},
        {"console", [](TestPe& p) { p.bytes[p.optional + 68] = 3; }, {}, "not a Windows GUI"},
        {"cut section table", [](TestPe& p) { p.bytes[p.coff + 2] = 60; }, {}, "section table"},
        {"few directories",
         [](TestPe& p) { Put32(p.bytes, p.directories - 4, 3); },
         {},
         "data directory table"},
        {"section past end",
         [](TestPe& p) { Put32(p.bytes, p.sectionTable + 40 + 20, 0x10000); },
         {},
         "past the end of the file"},
        {"signed", [](TestPe& p) { Put32(p.bytes, p.directories + 4 * 8, 0x800); }, {}, "signed"},
        {"symbols", [](TestPe& p) { Put32(p.bytes, p.coff + 8, 0x600); }, {}, "symbol table"},
        {"overlay", [](TestPe& p) { p.bytes.push_back(1); }, {}, "after its last section"},
        {"no manifest", [](TestPe&) {},
         [] {
             TestPeOptions o;
             o.manifest = false;
             return o;
         }(),
         "no manifest"},
        {"section behind", [](TestPe&) {},
         [] {
             TestPeOptions o;
             o.sectionAfterResources = true;
             return o;
         }(),
         "'.extra' follows the resource section"},
        {"directory loop",
         [r](TestPe& p) { Put32(p.bytes, r + 0x18 + 20, 0x80000000); },
         {},
         "loop"},
        {"type dir to itself",
         [r](TestPe& p) { Put32(p.bytes, r + 0x18 + 20, 0x80000018); },
         {},
         "loop"},
        {"entries past end",
         [r](TestPe& p) { p.bytes[r + 0x30 + 14] = 0xFF; },
         {},
         "past the end of the section"},
        {"subdir past end",
         [r](TestPe& p) { Put32(p.bytes, r + 20, 0x8000F000); },
         {},
         "past the end of the section"},
        {"name past end",
         [r](TestPe& p) { Put32(p.bytes, r + 16, 0x8000FFF0); },
         {},
         "past the end of the section"},
        {"long name",
         [r](TestPe& p) {
             Put32(p.bytes, r + 16, 0x80000070);
             p.bytes[r + 0x70] = 0xFF;
             p.bytes[r + 0x71] = 0xFF;
         },
         {},
         "runs past the end"},
        {"data past end",
         [r](TestPe& p) { Put32(p.bytes, r + 0x48 + 4, 0x7FFFFFFF); },
         {},
         "outside the file"},
        {"data nowhere",
         [r](TestPe& p) { Put32(p.bytes, r + 0x48, 0x90000000); },
         {},
         "outside the file"},
        {"too deep",
         [r](TestPe& p) { Put32(p.bytes, r + 0x30 + 20, 0x80000048); },
         {},
         "three levels"},
        {"too shallow",
         [r](TestPe& p) { Put32(p.bytes, r + 0x18 + 20, 0x48); },
         {},
         "three levels"},
    };
    for (const auto& c : cases) {
        TestPe pe = MakeTestPe(c.options);
        c.spoil(pe);
        WriteBytes(dir_ / "host.exe", pe.bytes);
        HostResourceWriter writer;
        std::string error;
        EXPECT_FALSE(writer.Open(dir_ / "host.exe", error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find("is not an installer host"), std::string::npos) << c.what;
    }
}

// Every truncation of a good host is refused, and so is every single-byte
// spoiling of its headers that the writer cannot make sense of.
TEST_F(HostResourceWriterTest, TruncatedAndScrambledHostsNeverCrash) {
    const TestPe pe = MakeTestPe();
    for (size_t size = 0; size < pe.bytes.size(); size += 7) {
        WriteBytes(
            dir_ / "host.exe",
            std::vector<uint8_t>(pe.bytes.begin(), pe.bytes.begin() + static_cast<long>(size)));
        HostResourceWriter writer;
        std::string error;
        EXPECT_FALSE(writer.Open(dir_ / "host.exe", error)) << size;
    }
    for (size_t at = 0; at < 0x800; ++at) {
        std::vector<uint8_t> bytes = pe.bytes;
        bytes[at] ^= 0xA5;
        WriteBytes(dir_ / "host.exe", bytes);
        HostResourceWriter writer;
        std::string error;
        // A host that passes may still be refused when writing (an image
        // grown past what loads), but always with a reason.
        if (writer.Open(dir_ / "host.exe", error) && !writer.Write(dir_ / "out.exe", error)) {
            EXPECT_NE(error, "") << at;
        }
    }
}

TEST_F(HostResourceWriterTest, CommandLineEmbedsAndReportsErrors) {
    WriteBytes(dir_ / "host.exe", MakeTestPe().bytes);
    std::string output;
    ASSERT_EQ(RunCommand(kSkinpack + " embed --script " + Quote(script_) + " --payload " +
                             Quote(payload_) + " " + Quote(dir_ / "host.exe") + " " +
                             Quote(dir_ / "setup.exe"),
                         &output),
              0)
        << output;
    EXPECT_NE(output.find("3 resources"), std::string::npos) << output;
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"embed " + Quote(dir_ / "host.exe"), 2, "usage"},
        {"embed --banner x " + Quote(dir_ / "host.exe") + " o.exe", 2, "usage"},
        {"embed --icon " + Quote(script_) + " " + Quote(dir_ / "host.exe") + " " +
             Quote(dir_ / "o.exe"),
         1, "is not a usable icon: not an icon file"},
        {"embed --icon " + Quote(dir_ / "absent.ico") + " " + Quote(dir_ / "host.exe") + " " +
             Quote(dir_ / "o.exe"),
         1, "cannot open"},
        {"embed --version 1.2.x " + Quote(dir_ / "host.exe") + " " + Quote(dir_ / "o.exe"), 1,
         "version '1.2.x' is not one to four numbers"},
        {"embed --company '' " + Quote(dir_ / "host.exe") + " " + Quote(dir_ / "o.exe"), 1,
         "CompanyName is empty"},
        {"embed " + Quote(script_) + " " + Quote(dir_ / "o.exe"), 1, "no MZ header"},
        {"embed --skin " + Quote(dir_ / "absent") + " " + Quote(dir_ / "host.exe") + " " +
             Quote(dir_ / "o.exe"),
         1, "cannot open"},
        {"resources " + Quote(script_), 1, "no MZ header"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunCommand(kSkinpack + " " + c.args, &output), c.status) << c.args;
        EXPECT_NE(output.find(c.message), std::string::npos) << c.args << ": " << output;
    }
    EXPECT_FALSE(fs::exists(dir_ / "o.exe"));
}

// The icon and the version information are ordinary resources that the
// toolchain's resource decompiler reads; embedding again replaces them.
TEST_F(HostResourceWriterTest, IconAndVersionInformationAreWrittenAndReplaced) {
    WriteBytes(dir_ / "host.exe", MakeTestPe().bytes);
    const TestIcon three = MakeTestIcon({{16, false, 32}, {32, false, 32}, {0, true, 32}});
    WriteBytes(dir_ / "three.ico", three.bytes);
    WriteBytes(dir_ / "one.ico", MakeTestIcon({{48, true, 32}}).bytes);
    const std::string brand =
        " --product-name 'Quorin Format' --company 'Quorin Ltd.' --description 'Quorin Setup'"
        " --version 3.1.4 --copyright '--(c) 2026 Quorin--' ";
    std::string output;
    const std::string embed = kSkinpack + " embed --script " + Quote(script_) + " --icon ";
    ASSERT_EQ(RunCommand(embed + Quote(dir_ / "three.ico") + brand + Quote(dir_ / "host.exe") +
                             " " + Quote(dir_ / "a.exe"),
                         &output),
              0)
        << output;
    ASSERT_EQ(RunCommand(embed + Quote(dir_ / "three.ico") + brand + Quote(dir_ / "host.exe") +
                             " " + Quote(dir_ / "b.exe"),
                         &output),
              0)
        << output;
    EXPECT_EQ(ReadBytes(dir_ / "a.exe"), ReadBytes(dir_ / "b.exe"));
    ASSERT_EQ(
        RunCommand("x86_64-w64-mingw32-windres -i " + Quote(dir_ / "a.exe") + " -O rc", &output), 0)
        << output;
    for (const char* item :
         {"1 VERSIONINFO", "FILEVERSION 3, 1, 4, 0", "PRODUCTVERSION 3, 1, 4, 0",
          "VALUE \"ProductName\", \"Quorin Format\"", "VALUE \"CompanyName\", \"Quorin Ltd.\"",
          "VALUE \"FileDescription\", \"Quorin Setup\"",
          "VALUE \"LegalCopyright\", \"--(c) 2026 Quorin--\"", "VALUE \"FileVersion\", \"3.1.4.0\"",
          "VALUE \"Translation\", 0x409, 1200", "1 14 /* RT_GROUP_ICON */", "3 3 /* RT_ICON */",
          "1 24 /* RT_MANIFEST */"})
        EXPECT_NE(output.find(item), std::string::npos) << item << "\n" << output;

    // Into the installer again, with a one-image icon and a new version.
    ASSERT_EQ(RunCommand(kSkinpack + " embed --icon " + Quote(dir_ / "one.ico") + " --version 4 " +
                             Quote(dir_ / "a.exe") + " " + Quote(dir_ / "c.exe"),
                         &output),
              0)
        << output;
    VersionInfo four;
    std::string error;
    ASSERT_TRUE(four.SetVersion("4", error));
    ASSERT_EQ(RunCommand(kSkinpack + " resources " + Quote(dir_ / "c.exe"), &output), 0);
    EXPECT_EQ(output, "LUA 129 1033 26\n3 1 1033 33\n14 1 1033 20\n16 1 1033 " +
                          std::to_string(four.Build().size()) + "\n24 1 1033 33\n");
}
