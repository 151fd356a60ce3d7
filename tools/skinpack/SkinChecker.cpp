#include "tools/skinpack/SkinChecker.h"

#include <algorithm>

#include "package/PackageFormat.h"
#include "tools/skinpack/FileStreams.h"
#include "tools/skinpack/SkinPacker.h"
#include "ui/LayoutTags.h"
#include "ui/SpecItems.h"
#include "ui/UIDocBuilder.h"
#include "xml/XmlDocument.h"

namespace fs = std::filesystem;

namespace {

// The markup reader holds UTF-16 code units in wide characters on every
// platform, as it does on Windows.
std::wstring ToReaderText(const std::u16string& utf16) { return {utf16.begin(), utf16.end()}; }
std::u16string FromReaderText(const std::wstring& text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t c : text) out += static_cast<char16_t>(c);
    return out;
}
std::string Narrow(const std::wstring& text) { return Utf16ToUtf8(FromReaderText(text)); }

bool EndsWithNoCase(const std::wstring& text, std::wstring_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        wchar_t c = text[text.size() - suffix.size() + i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

bool IsLayoutFile(const fs::path& path) {
    std::string extension = path.extension().u8string();
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension == ".xml";
}

// Every layout under the folder, in a stable order.
std::vector<fs::path> ListLayouts(const fs::path& root) {
    std::vector<fs::path> layouts;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && IsLayoutFile(it->path())) layouts.push_back(it->path());
    }
    std::sort(layouts.begin(), layouts.end());
    return layouts;
}

bool IsControlTag(const std::wstring& tag) {
    return std::any_of(std::begin(kLayoutControlTags), std::end(kLayoutControlTags),
                       [&](const wchar_t* known) { return tag == known; });
}

// A plain image name as image attributes take it ("img\btn.png"): not a render
// value, no list, and the extension of an image file.
bool IsPlainImageName(const std::wstring& value) {
    if (value.find_first_of(L"|:=") != std::wstring::npos) return false;
    for (std::wstring_view ext : {L".png", L".bmp", L".jpg", L".jpeg", L".gif", L".ico"})
        if (EndsWithNoCase(value, ext)) return true;
    return false;
}

// The "file" items of an image render value ("img:file=img\bg.png|type=3"),
// read with the renders' own item syntax.
std::vector<std::wstring> RenderImageNames(const std::wstring& value) {
    std::vector<std::wstring> names;
    if (value.compare(0, 4, L"img:") != 0) return names;
    ForEachSpecItem(std::wstring_view(value).substr(4),
                    [&](const std::wstring& key, const std::wstring& item) {
                        if (key == L"file") names.push_back(item);
                    });
    return names;
}

// The number after `key="` in a result-log record, or npos.
size_t LogNumber(const std::wstring& log, std::wstring_view key) {
    const std::wstring needle = std::wstring(key) + L"=\"";
    const size_t at = log.find(needle);
    if (at == std::wstring::npos) return std::wstring::npos;
    size_t value = 0;
    bool any = false;
    for (size_t i = at + needle.size(); i < log.size() && log[i] >= L'0' && log[i] <= L'9'; ++i) {
        value = value * 10 + static_cast<size_t>(log[i] - L'0');
        any = true;
    }
    return any ? value : std::wstring::npos;
}

std::wstring LogText(const std::wstring& log, std::wstring_view key) {
    const std::wstring needle = std::wstring(key) + L"=\"";
    const size_t at = log.find(needle);
    if (at == std::wstring::npos) return {};
    const size_t end = log.find(L'"', at + needle.size());
    return XmlDocument::DecodeReferences(log.substr(at + needle.size(), end - at - needle.size()));
}

// What the reader's first result record says, in words.
std::string DescribeRecord(const std::wstring& log) {
    const size_t end = log.find_first_of(L" /", 1);
    const std::wstring keyword = log.substr(1, end == std::wstring::npos ? 0 : end - 1);
    const std::string tag = Narrow(LogText(log, L"tagname"));
    if (keyword == L"unended_start_tag") return "<" + tag + "> is never closed";
    if (keyword == L"lone_end_tag") return "</" + tag + "> closes nothing";
    if (keyword == L"no_root_element") return "no element at all";
    if (keyword == L"root_has_sibling") return "more than one top-level element";
    if (keyword == L"unterminated_tag_syntax")
        return "unterminated " + Narrow(LogText(log, L"type"));
    return "markup error (" + Narrow(keyword) + ")";
}

}  // namespace

std::string SkinFinding::Text() const {
    std::string text = error ? "error: " : "warning: ";
    text += file;
    if (line > 0) text += ":" + std::to_string(line);
    return text + ": " + message;
}

bool SkinChecker::Check(const fs::path& root) {
    findings_.clear();
    names_.clear();
    layouts_ = 0;
    file_ = root.u8string();
    lineStarts_.clear();
    if (!CollectNames(root)) return false;
    const std::vector<fs::path> layouts = ListLayouts(root);
    if (layouts.empty()) {
        Add(true, 0, "the skin has no layouts (xml/*.xml)");
        return false;
    }
    for (const fs::path& layout : layouts) CheckLayout(layout);
    return std::none_of(findings_.begin(), findings_.end(),
                        [](const SkinFinding& f) { return f.error; });
}

// The names the package will hold, exactly as the packer stores them.
bool SkinChecker::CollectNames(const fs::path& root) {
    SkinPacker packer;
    std::string error;
    if (!packer.Scan(root, error)) {
        Add(true, 0, error);
        return false;
    }
    if (packer.inputs().empty()) {
        Add(true, 0, "the skin folder is empty (it needs xml/ with layouts and img/ with images)");
        return false;
    }
    for (const PackageInput& input : packer.inputs()) names_.insert(input.name);
    return true;
}

void SkinChecker::CheckLayout(const fs::path& file) {
    ++layouts_;
    file_ = file.u8string();
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(file, bytes, error)) {
        Add(true, 0, error);
        return;
    }
    // The installer reads a layout up to its first zero byte, as UTF-8.
    std::string text(bytes.begin(), std::find(bytes.begin(), bytes.end(), uint8_t{0}));
    XmlDocument doc;
    const bool wellFormed = doc.SetText(ToReaderText(Utf8ToUtf16(text)));
    const std::wstring& all = doc.GetDocumentText();
    lineStarts_.assign(1, 0);
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i] == L'\n') lineStarts_.push_back(i + 1);
    if (!wellFormed) {
        ReportMarkupError(doc);
        return;
    }
    CheckElements(doc, 0);
}

void SkinChecker::ReportMarkupError(const XmlDocument& doc) {
    const std::wstring& log = doc.GetResultLog();
    const size_t offset = LogNumber(log, L"offset");
    Add(true, offset == std::wstring::npos ? 1 : LineAt(offset),
        "not well-formed, the installer would show an empty window: " + DescribeRecord(log));
}

// Walks the elements as the installer builds them: an unknown tag is skipped
// with everything inside it, and so is anything nested deeper than it builds.
void SkinChecker::CheckElements(XmlDocument& doc, int depth) {
    while (doc.FindElement()) {
        const std::wstring tag = doc.GetTagName();
        const size_t line = LineAt(doc.GetNodeOffset());
        if (depth >= UIDocBuilder::kMaxElementDepth) {
            Add(false, line,
                "nested deeper than " + std::to_string(UIDocBuilder::kMaxElementDepth) +
                    " elements: the installer skips <" + Narrow(tag) + "> and what it holds");
            continue;
        }
        if (tag == kLayoutIncludeTag) {
            CheckInclude(doc);
        } else if (!IsControlTag(tag)) {
            Add(false, line,
                "unknown tag <" + Narrow(tag) +
                    ">: no control class has this name, the installer skips it and what it "
                    "holds");
            continue;
        }
        CheckAttributes(doc);
        if (doc.EnterElement()) {
            CheckElements(doc, depth + 1);
            doc.LeaveElement();
        }
    }
}

void SkinChecker::CheckInclude(const XmlDocument& doc) {
    const size_t line = LineAt(doc.GetNodeOffset());
    const std::wstring file = doc.GetAttributeValue(kLayoutIncludeFileAttribute);
    if (file.empty()) {
        Add(false, line, "<node> without a file: it includes nothing and is skipped");
        return;
    }
    CheckName(kLayoutIncludeFileAttribute, file, "layout", line);
}

void SkinChecker::CheckAttributes(const XmlDocument& doc) {
    const size_t line = LineAt(doc.GetNodeOffset());
    for (size_t i = 0;; ++i) {
        const std::wstring name = doc.GetAttributeName(i);
        if (name.empty()) break;
        const std::wstring value = doc.GetAttributeValue(name);
        if (IsPlainImageName(value)) CheckName(name, value, "image", line);
        for (const std::wstring& image : RenderImageNames(value))
            CheckName(name, image, "image", line);
    }
}

void SkinChecker::CheckName(const std::wstring& attribute, const std::wstring& name,
                            const char* kind, size_t line) {
    std::u16string lowered = FromReaderText(name);
    for (char16_t& c : lowered)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (names_.count(lowered)) return;
    std::string message = Narrow(attribute) + " names the " + kind + " '" + Narrow(name) +
                          "', which the skin does not contain";
    if (name.find(L'/') != std::wstring::npos) message += " (names use '\\', not '/')";
    Add(false, line, message);
}

size_t SkinChecker::LineAt(size_t offset) const {
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    return static_cast<size_t>(after - lineStarts_.begin());
}

void SkinChecker::Add(bool error, size_t line, const std::string& message) {
    findings_.push_back({error, file_, line, message});
}
