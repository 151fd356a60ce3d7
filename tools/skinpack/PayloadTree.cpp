#include "tools/skinpack/PayloadTree.h"

#include <algorithm>
#include <map>

#include "package/PackageFormat.h"

namespace fs = std::filesystem;

namespace {

const std::u16string kArchPrefixes[] = {u"r_x86", u"r_x64"};

std::u16string LowerAscii(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return s;
}

bool IsReservedDeviceName(const std::u16string& component) {
    std::u16string stem = LowerAscii(component.substr(0, component.find(u'.')));
    while (!stem.empty() && stem.back() == u' ') stem.pop_back();
    static const std::u16string kNames[] = {u"con", u"prn", u"aux", u"nul"};
    for (const auto& name : kNames)
        if (stem == name) return true;
    return stem.size() == 4 &&
           (stem.compare(0, 3, u"com") == 0 || stem.compare(0, 3, u"lpt") == 0) &&
           stem[3] >= u'1' && stem[3] <= u'9';
}

bool IsArchSpecific(const std::u16string& name) {
    return name.compare(0, 7, u"r_x86//") == 0 || name.compare(0, 7, u"r_x64//") == 0;
}

std::u16string ExtensionOf(const std::u16string& name) {
    const size_t slash = name.rfind(u'/');
    const size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash)) return {};
    return LowerAscii(name.substr(dot + 1));
}

}  // namespace

std::string PayloadTree::CheckComponent(const std::u16string& component) {
    for (char16_t c : component) {
        if (c < 0x20) return "holds a control character";
        if (std::u16string(u"\\:*?\"<>|").find(c) != std::u16string::npos)
            return "holds one of \\ : * ? \" < > |";
    }
    if (!component.empty() && (component.back() == u'.' || component.back() == u' '))
        return "ends with a dot or a space";
    if (IsReservedDeviceName(component)) return "is a reserved device name on Windows";
    return {};
}

bool PayloadTree::Scan(const fs::path& root, std::string& error) {
    folders_.clear();
    files_.clear();
    items_.clear();
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        error = "'" + root.u8string() + "' is not a folder";
        return false;
    }
    if (!ScanFolder(root, {}, true, error)) return false;
    // Folders in name order put each folder right after its parent. Files
    // common to both architectures come before the architecture-specific
    // ones, so that where both name the same target the specific one is
    // written last and wins. Within each, empty files first, then by
    // extension and name, which packs similar data together.
    std::sort(folders_.begin(), folders_.end(),
              [](const PayloadItem& a, const PayloadItem& b) { return a.name < b.name; });
    std::stable_sort(files_.begin(), files_.end(), [](const PayloadItem& a, const PayloadItem& b) {
        const bool archA = IsArchSpecific(a.name), archB = IsArchSpecific(b.name);
        if (archA != archB) return archB;
        const bool emptyA = a.size == 0, emptyB = b.size == 0;
        if (emptyA != emptyB) return emptyA;
        const std::u16string extA = ExtensionOf(a.name), extB = ExtensionOf(b.name);
        if (extA != extB) return extA < extB;
        return a.name < b.name;
    });
    items_ = folders_;
    items_.insert(items_.end(), files_.begin(), files_.end());
    return true;
}

bool PayloadTree::ScanFolder(const fs::path& folder, const std::u16string& prefix, bool top,
                             std::string& error) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    if (ec) {
        error = "cannot read folder '" + folder.u8string() + "': " + ec.message();
        return false;
    }
    // Windows names are case-insensitive: two names that differ only in case
    // would overwrite each other at install time.
    std::map<std::u16string, std::string> seen;
    for (; it != end; it.increment(ec)) {
        const fs::path path = it->path();
        const std::string shown = path.u8string();
        const std::string utf8 = path.filename().u8string();
        const std::u16string component = Utf8ToUtf16(utf8);
        if (Utf16ToUtf8(component) != utf8) {
            error = "'" + shown + "': the name is not valid UTF-8";
            return false;
        }
        const std::string why = CheckComponent(component);
        if (!why.empty()) {
            error = "'" + shown + "': the name " + why;
            return false;
        }
        auto [previous, fresh] = seen.emplace(LowerAscii(component), shown);
        if (!fresh) {
            error = "'" + shown + "' and '" + previous->second +
                    "' differ only in case, which Windows cannot hold apart";
            return false;
        }
        const bool isLink = it->is_symlink(ec);
        const fs::file_status status = it->status(ec);  // follows links
        if (fs::is_directory(status)) {
            if (isLink) {
                error = "'" + shown + "' is a link to a folder; copy the folder instead";
                return false;
            }
            const bool arch =
                top && (component == kArchPrefixes[0] || component == kArchPrefixes[1]);
            const std::u16string name = arch ? component + u"//" : prefix + component;
            if (!arch) folders_.push_back({name, true, {}, 0});
            if (!ScanFolder(path, arch ? name : name + u"/", false, error)) return false;
        } else if (fs::is_regular_file(status)) {
            const uint64_t size = fs::file_size(path, ec);
            if (ec) {
                error = "cannot read the size of '" + shown + "': " + ec.message();
                return false;
            }
            files_.push_back({prefix + component, false, path, size});
        } else {
            error = "'" + shown + "' is neither a file nor a folder";
            return false;
        }
    }
    if (ec) {
        error = "cannot read folder '" + folder.u8string() + "': " + ec.message();
        return false;
    }
    return true;
}
