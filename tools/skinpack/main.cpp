// skinpack: the packer of the installer's skin package and payload archive.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "package/PackageFormat.h"
#include "package/PayloadMask.h"
#include "tools/skinpack/ArchiveInspector.h"
#include "tools/skinpack/FileStreams.h"
#include "tools/skinpack/HostResourceWriter.h"
#include "tools/skinpack/PayloadTree.h"
#include "tools/skinpack/ScriptChecker.h"
#include "tools/skinpack/SevenZipWriter.h"
#include "tools/skinpack/SkinChecker.h"
#include "tools/skinpack/SkinPacker.h"
#include "tools/skinpack/VersionInfo.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: skinpack skin DIR OUT        pack a skin folder (xml/, img/) into a package\n"
    "       skinpack payload [--plain] [--level 0-9] [--block-mb N] [--threads 1|2] DIR OUT\n"
    "                                    pack a folder into a payload archive (7z, LZMA),\n"
    "                                    masked for embedding unless --plain\n"
    "       skinpack mask [--quiet] IN OUT\n"
    "                                    mask (or unmask) an existing 7z archive; --quiet:\n"
    "                                    no warning for one that does not look like 7z\n"
    "       skinpack list ARCHIVE        list a payload archive, masked or plain\n"
    "       skinpack test ARCHIVE        decode a payload archive and check its CRCs\n"
    "       skinpack embed [--script FILE] [--skin PAK] [--payload PAK] [--icon FILE.ico]\n"
    "                      [--product-name TEXT] [--company TEXT] [--description TEXT]\n"
    "                      [--version A.B.C.D] [--copyright TEXT] HOST OUT\n"
    "                                    write an installer: the prebuilt host with the\n"
    "                                    script, skin package and payload archive in its\n"
    "                                    resources (129 LUA, 130 PAK, 131 PAK), and the\n"
    "                                    icon and version information the shell shows\n"
    "       skinpack resources EXE       list an executable's resources\n"
    "       skinpack check-script FILE...  compile installer scripts without running them;\n"
    "                                    fails with \"error: FILE:LINE: message\"\n"
    "       skinpack check-skin DIR      read every layout of a skin folder: fails on a\n"
    "                                    layout that is not well-formed, warns about\n"
    "                                    unknown tags and missing images\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "skinpack: %s\n", message.c_str());
    return 1;
}

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

bool ParseInt(const std::string& text, long min, long max, long& value) {
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == 0 && value >= min && value <= max;
}

int PackSkin(const std::vector<fs::path>& args) {
    if (args.size() != 2) return Usage();
    SkinPacker packer;
    std::string error;
    if (!packer.Scan(args[0], error) || !packer.Write(args[1], error)) return Fail(error);
    for (const std::string& warning : packer.warnings())
        std::fprintf(stderr, "skinpack: warning: %s\n", warning.c_str());
    std::printf("skinpack: %s: %zu entries\n", args[1].u8string().c_str(), packer.inputs().size());
    return 0;
}

int PackPayload(const std::vector<std::string>& options, const std::vector<fs::path>& args) {
    ArchiveOptions settings;
    for (size_t i = 0; i < options.size(); ++i) {
        long value = 0;
        const std::string& o = options[i];
        const bool hasValue = i + 1 < options.size();
        if (o == "--plain") {
            settings.mask = false;
        } else if (o == "--level" && hasValue && ParseInt(options[++i], 0, 9, value)) {
            settings.level = static_cast<int>(value);
        } else if (o == "--block-mb" && hasValue && ParseInt(options[++i], 1, 4095, value)) {
            settings.blockLimit = static_cast<uint64_t>(value) << 20;
        } else if (o == "--threads" && hasValue && ParseInt(options[++i], 1, 2, value)) {
            settings.threads = static_cast<int>(value);
        } else {
            return Usage();
        }
    }
    if (args.size() != 2) return Usage();
    PayloadTree tree;
    SevenZipWriter writer(settings);
    std::string error;
    if (!tree.Scan(args[0], error) || !writer.Write(tree.items(), args[1], error))
        return Fail(error);
    const ArchiveStats& s = writer.stats();
    std::printf(
        "skinpack: %s: %u files, %u folders, %llu bytes in %u blocks (largest %llu) -> %llu "
        "bytes%s\n",
        args[1].u8string().c_str(), s.files, s.folders,
        static_cast<unsigned long long>(s.unpackedBytes), s.blocks,
        static_cast<unsigned long long>(s.largestBlock),
        static_cast<unsigned long long>(s.archiveBytes), settings.mask ? ", masked" : "");
    return 0;
}

// Masking is its own inverse; the input is embedded as it is otherwise, so
// deliberately odd archives (tests of the installer) pass with a warning.
int MaskArchive(const std::vector<std::string>& options, const std::vector<fs::path>& args) {
    if (args.size() != 2) return Usage();
    bool quiet = false;
    for (const std::string& o : options) {
        if (o != "--quiet") return Usage();
        quiet = true;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(args[0], bytes, error)) return Fail(error);
    if (!quiet && (bytes.size() < 6 || std::memcmp(bytes.data() + 2, "\xBC\xAF\x27\x1C", 4) != 0))
        std::fprintf(stderr, "skinpack: warning: '%s' does not look like a 7z archive\n",
                     args[0].u8string().c_str());
    ApplyPayloadMask(bytes.data(), bytes.size());
    std::FILE* file = OpenFile(args[1], "wb");
    if (!file) return Fail("cannot create '" + args[1].u8string() + "'");
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    return ok ? 0 : Fail("cannot write '" + args[1].u8string() + "'");
}

// The version texts each option sets.
const struct {
    const char* option;
    const char16_t* key;
} kVersionTexts[] = {
    {"--product-name", u"ProductName"},
    {"--company", u"CompanyName"},
    {"--description", u"FileDescription"},
    {"--copyright", u"LegalCopyright"},
};

// One embed option: a resource, the icon or a part of the version
// information. -1 for an unknown option, 0 when refused (with `error`).
int EmbedOption(const std::string& option, const std::string& value, HostResourceWriter& writer,
                VersionInfo& version, std::string& error) {
    const fs::path file = fs::u8path(value);
    if (option == "--script") return writer.Put(u"LUA", kScriptResource, file, error);
    if (option == "--skin") return writer.Put(u"PAK", kSkinResource, file, error);
    if (option == "--payload") return writer.Put(u"PAK", kPayloadResource, file, error);
    if (option == "--icon") return writer.PutIcon(file, error);
    if (option == "--version") return version.SetVersion(value, error);
    for (const auto& text : kVersionTexts)
        if (option == text.option) return version.SetText(text.key, value, error);
    return -1;
}

int Embed(const std::vector<std::string>& options, const std::vector<fs::path>& args) {
    if (args.size() != 2 || options.size() % 2 != 0) return Usage();
    HostResourceWriter writer;
    VersionInfo version;
    std::string error;
    if (!writer.Open(args[0], error)) return Fail(error);
    for (size_t i = 0; i < options.size(); i += 2) {
        const int result = EmbedOption(options[i], options[i + 1], writer, version, error);
        if (result < 0) return Usage();
        if (result == 0) return Fail(error);
    }
    if (!version.empty()) writer.PutVersion(version.Build());
    if (!writer.Write(args[1], error)) return Fail(error);
    std::printf("skinpack: %s: %zu resources\n", args[1].u8string().c_str(),
                writer.resources().items().size());
    return 0;
}

int ListResources(const std::vector<fs::path>& args) {
    if (args.size() != 1) return Usage();
    std::vector<uint8_t> bytes;
    std::string error;
    PeImage image;
    ResourceTree tree;
    if (!ReadWholeFile(args[0], bytes, error)) return Fail(error);
    if (!image.Parse(std::move(bytes), error) || !tree.Parse(image, error))
        return Fail(args[0].u8string() + ": " + error);
    for (const ResourceItem& item : tree.items())
        std::printf("%s %s %u %llu\n", item.type.Text().c_str(), item.name.Text().c_str(),
                    item.language, static_cast<unsigned long long>(item.size));
    return 0;
}

void PrintProblems(const ArchiveInspector& archive) {
    for (const std::string& problem : archive.InstallProblems())
        std::fprintf(stderr, "skinpack: warning: %s\n", problem.c_str());
}

int Inspect(bool test, const std::vector<fs::path>& args) {
    if (args.size() != 1) return Usage();
    ArchiveInspector archive;
    std::string error;
    if (!archive.Open(args[0], error)) return Fail(args[0].u8string() + ": " + error);
    uint64_t bytes = 0, files = 0, folders = 0;
    for (const ArchiveEntryInfo& e : archive.entries()) {
        (e.folder ? folders : files)++;
        bytes += e.size;
        if (!test)
            std::printf("%c %12llu  %s\n", e.folder ? 'D' : '.',
                        static_cast<unsigned long long>(e.size), Utf16ToUtf8(e.name).c_str());
    }
    PrintProblems(archive);
    if (test && !archive.Test(error)) return Fail(args[0].u8string() + ": " + error);
    std::printf("%s%llu files, %llu folders, %llu bytes, %u blocks%s\n",
                test ? "Everything is Ok: " : "", static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(folders), static_cast<unsigned long long>(bytes),
                archive.blocks(), archive.masked() ? " (masked)" : "");
    return 0;
}

int CheckScripts(const std::vector<fs::path>& args) {
    if (args.empty()) return Usage();
    int status = 0;
    for (const fs::path& file : args) {
        std::string message;
        if (ScriptChecker::Check(file, message)) continue;
        std::fprintf(stderr, "error: %s\n", message.c_str());
        status = 1;
    }
    return status;
}

int CheckSkin(const std::vector<fs::path>& args) {
    if (args.size() != 1) return Usage();
    SkinChecker checker;
    const bool ok = checker.Check(args[0]);
    for (const SkinFinding& finding : checker.findings())
        std::fprintf(stderr, "%s\n", finding.Text().c_str());
    if (!ok) return 1;
    const size_t count = checker.layoutCount();
    std::printf("skinpack: %s: %zu layout%s checked\n", args[0].u8string().c_str(), count,
                count == 1 ? "" : "s");
    return 0;
}

bool TakesValue(const std::string& option) {
    for (const char* name : {"--level", "--block-mb", "--threads", "--script", "--skin",
                             "--payload", "--icon", "--version"})
        if (option == name) return true;
    for (const auto& text : kVersionTexts)
        if (option == text.option) return true;
    return false;
}

int Run(const std::vector<std::string>& argv) {
    if (argv.empty()) return Usage();
    const std::string& command = argv[0];
    std::vector<std::string> options;
    std::vector<fs::path> args;
    // An option's value is taken as it is, even when it starts with "--"
    // (a description such as "--- Setup ---").
    bool wantValue = false;
    for (size_t i = 1; i < argv.size(); ++i) {
        const bool option = args.empty() && argv[i].size() > 2 && argv[i].compare(0, 2, "--") == 0;
        if (wantValue || option)
            options.push_back(argv[i]);
        else
            args.push_back(fs::u8path(argv[i]));
        wantValue = !wantValue && option && TakesValue(argv[i]);
    }
    if (command == "payload") return PackPayload(options, args);
    if (command == "embed") return Embed(options, args);
    if (command == "mask") return MaskArchive(options, args);
    if (!options.empty()) return Usage();
    if (command == "skin") return PackSkin(args);
    if (command == "list") return Inspect(false, args);
    if (command == "test") return Inspect(true, args);
    if (command == "resources") return ListResources(args);
    if (command == "check-script") return CheckScripts(args);
    if (command == "check-skin") return CheckSkin(args);
    return Usage();
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(fs::path(argv[i]).u8string());
    return Run(args);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
