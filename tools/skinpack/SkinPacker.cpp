#include "tools/skinpack/SkinPacker.h"

#include <algorithm>
#include <map>

#include "tools/skinpack/FileStreams.h"

namespace fs = std::filesystem;

bool SkinPacker::Scan(const fs::path& root, std::string& error) {
    inputs_.clear();
    warnings_.clear();
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        error = "'" + root.u8string() + "' is not a folder";
        return false;
    }
    std::map<std::u16string, std::string> byName;  // also sorts by code unit
    fs::recursive_directory_iterator it(root, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        if (it->is_directory(ec)) continue;
        if (!it->is_regular_file(ec)) {
            error = "'" + path.u8string() + "' is not a regular file";
            return false;
        }
        const std::string relative = path.lexically_relative(root).generic_u8string();
        const std::u16string utf16 = Utf8ToUtf16(relative);
        if (Utf16ToUtf8(utf16) != relative) {
            error = "'" + path.u8string() + "': the name is not valid UTF-8";
            return false;
        }
        const std::u16string name = PackageNameOf(utf16);
        auto [previous, fresh] = byName.emplace(name, path.u8string());
        if (!fresh) {
            error = "'" + path.u8string() + "' and '" + previous->second +
                    "' have the same name in lower case";
            return false;
        }
        if (std::any_of(name.begin(), name.end(), [](char16_t c) { return c > 0x7F; }))
            warnings_.push_back("'" + relative +
                                "' has letters beyond ASCII, which lookups may not match");
        else if (name.compare(0, 4, u"xml\\") != 0 && name.compare(0, 4, u"img\\") != 0)
            warnings_.push_back("'" + relative + "' is neither under xml/ nor under img/");
    }
    if (ec) {
        error = "cannot read folder '" + root.u8string() + "': " + ec.message();
        return false;
    }
    for (const auto& [name, path] : byName) {
        PackageInput input;
        input.name = name;
        if (!ReadWholeFile(fs::u8path(path), input.data, error)) return false;
        inputs_.push_back(std::move(input));
    }
    return true;
}

bool SkinPacker::Write(const fs::path& out, std::string& error) const {
    std::vector<uint8_t> package;
    if (!WritePackage(inputs_, package)) {
        error = "the skin is too large for a package (4 GiB)";
        return false;
    }
    fs::path temp = out;
    temp += ".part";
    std::FILE* file = OpenFile(temp, "wb");
    if (!file) {
        error = "cannot create '" + temp.u8string() + "'";
        return false;
    }
    bool ok = std::fwrite(package.data(), 1, package.size(), file) == package.size();
    ok = std::fclose(file) == 0 && ok;
    std::error_code ec;
    if (ok) fs::rename(temp, out, ec);
    if (!ok || ec) {
        fs::remove(temp, ec);
        error = "cannot write '" + out.u8string() + "'";
        return false;
    }
    return true;
}
