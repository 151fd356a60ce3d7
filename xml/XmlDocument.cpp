#include "xml/XmlDocument.h"

#include <algorithm>
#include <cwchar>

#include "base/DecimalText.h"
#include "xml/XmlNamedReferences.h"

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);
// Offsets and lengths are kept in 32 bits.
constexpr size_t kMaxTextLength = 0xFFFFFFF0u;

// The only whitespace the reader knows.
bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

bool EndsName(wchar_t c) {
    switch (c) {
        case L'!':
        case L'"':
        case L'\'':
        case L'/':
        case L';':
        case L'<':
        case L'=':
        case L'>':
        case L'?':
        case L'\\':
            return true;
        default:
            return IsSpace(c);
    }
}

bool EndsAttributeName(wchar_t c) {
    return IsSpace(c) || c == L'/' || c == L'=' || c == L'>' || c == L'?';
}

bool StartsElementName(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L':' || c == L'_' ||
           c > L'z';
}

size_t SkipSpaces(const std::wstring& t, size_t pos, size_t end) {
    while (pos < end && IsSpace(t[pos])) ++pos;
    return pos;
}

// Offset of `needle` at or after `pos`, or kNone.
size_t Find(const std::wstring& t, const wchar_t* needle, size_t pos) {
    return pos >= t.size() ? kNone : t.find(needle, pos);
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// The code point of a reference name (between '&' and ';'), 0 if none.
unsigned ReferenceCodePoint(std::wstring_view name) {
    if (name.size() >= 2 && name[0] == L'#') {
        const bool hex = name[1] == L'x' || name[1] == L'X';
        unsigned value = 0;
        for (size_t i = hex ? 2 : 1; i < name.size(); ++i) {
            const int digit = hex ? HexDigit(name[i])
                                  : (name[i] >= L'0' && name[i] <= L'9' ? name[i] - L'0' : -1);
            if (digit < 0) return 0;
            value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);  // <= 8 digits
        }
        // Surrogates and values past the last plane are not characters.
        if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
        return value;
    }
    if (!name.empty() && name[0] == L'#') return 0;
    return LookupNamedReference(name);
}

void AppendCodePoint(std::wstring& out, unsigned cp) {
    if (cp > 0xFFFF) {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<wchar_t>(cp);
    }
}

std::wstring Decimal(size_t value) { return DecimalText(value); }

}  // namespace

// One step of a path search: a name and its conditions.
struct XmlDocument::PathStep {
    std::wstring_view name;
    uint32_t position = 0;  // [n], 0 when absent
    struct Condition {
        std::wstring_view attribute;
        bool hasValue;
        std::wstring_view value;
    };
    std::vector<Condition> conditions;
};

XmlDocument::XmlDocument() = default;
XmlDocument::~XmlDocument() = default;

// --- Element store ---------------------------------------------------------

void XmlDocument::ClearStore() {
    segments_.clear();
    longTags_.clear();
    recordCount_ = 0;
    recordCapacity_ = 0;
}

void XmlDocument::ReserveRecords(uint32_t count) {
    // Whole segments, allocated as the capacity reaches them; records are
    // left uninitialised until used, so untouched pages cost nothing.
    const size_t segmentsNeeded = (static_cast<size_t>(count) + kSegmentSize - 1) / kSegmentSize;
    while (segments_.size() < segmentsNeeded) {
        segments_.push_back(std::unique_ptr<Record[]>(new Record[kSegmentSize]));
    }
    recordCapacity_ = std::max(recordCapacity_, count);
}

uint32_t XmlDocument::NewRecord() {
    if (recordCount_ == recordCapacity_) {
        const uint64_t grown = static_cast<uint64_t>(recordCapacity_) + recordCapacity_ / 2 + 1;
        ReserveRecords(static_cast<uint32_t>(std::min<uint64_t>(grown, 0xFFFFFFFFu)));
    }
    const uint32_t index = recordCount_++;
    At(index) = Record{};
    return index;
}

void XmlDocument::SetTagLengths(uint32_t index, size_t startTag, size_t endTag) {
    // Lengths that do not fit their packed fields are kept aside, so that
    // content boundaries stay exact for any tag.
    if (startTag >= kStartTagMax || endTag >= kEndTagMax) {
        longTags_[index] = {startTag, endTag};
        At(index).tagLengths = kStartTagMax | (kEndTagMax << 22);
        return;
    }
    At(index).tagLengths = static_cast<uint32_t>(startTag) | (static_cast<uint32_t>(endTag) << 22);
}

size_t XmlDocument::StartTagLength(uint32_t index) const {
    const uint32_t packed = At(index).tagLengths & kStartTagMax;
    if (packed == kStartTagMax) return longTags_.at(index).first;
    return packed;
}

size_t XmlDocument::EndTagLength(uint32_t index) const {
    if ((At(index).tagLengths & kStartTagMax) == kStartTagMax) return longTags_.at(index).second;
    return At(index).tagLengths >> 22;
}

void XmlDocument::AppendChild(uint32_t parent, uint32_t child) {
    Record& p = At(parent);
    Record& c = At(child);
    c.parent = parent;
    c.nextSibling = 0;
    if (p.firstChild == 0) {
        p.firstChild = child;
        c.prevSibling = child;
        c.flags |= kFirstChildFlag;
        return;
    }
    Record& first = At(p.firstChild);
    const uint32_t last = first.prevSibling;
    At(last).nextSibling = child;
    c.prevSibling = last;
    first.prevSibling = child;
}

void XmlDocument::MoveChildrenAfter(uint32_t element) {
    Record& e = At(element);
    const uint32_t first = e.firstChild;
    if (first == 0) return;
    const uint32_t parent = e.parent;
    const uint32_t last = At(first).prevSibling;
    for (uint32_t c = first; c != 0; c = At(c).nextSibling) At(c).parent = parent;
    At(first).flags &= ~kFirstChildFlag;
    const uint32_t oldNext = e.nextSibling;
    e.nextSibling = first;
    e.firstChild = 0;
    At(first).prevSibling = element;
    At(last).nextSibling = oldNext;
    if (oldNext != 0) {
        At(oldNext).prevSibling = last;
    } else {
        At(At(parent).firstChild).prevSibling = last;  // the moved children end the list
    }
}

size_t XmlDocument::ContentBegin(uint32_t element) const {
    if (element == 0) return 0;
    return At(element).start + StartTagLength(element);
}

size_t XmlDocument::ContentEnd(uint32_t element) const {
    if (element == 0) return text_.size();
    return static_cast<size_t>(At(element).start) + At(element).length - EndTagLength(element);
}

// --- Parsing ---------------------------------------------------------------

bool XmlDocument::SetText(const wchar_t* text) {
    if (text == nullptr) {
        text_.clear();
        text_.shrink_to_fit();
        resultLog_.clear();
        ClearStore();
        ResetCursor();
        return false;
    }
    return SetText(std::wstring_view(text));
}

bool XmlDocument::SetText(std::wstring_view text) {
    resultLog_.clear();
    if (text.size() > kMaxTextLength) return SetText(nullptr);
    text_.assign(text.data(), text.size());
    return Parse();
}

void XmlDocument::ResetCursor() {
    parent_ = 0;
    current_ = 0;
    child_ = 0;
    nodeKind_ = kNoNode;
    nodeOffset_ = 0;
    nodeLength_ = 0;
}

bool XmlDocument::Parse() {
    ResetCursor();
    longTags_.clear();
    recordCount_ = 0;
    ReserveRecords(static_cast<uint32_t>(text_.size() / 64 + 8));
    NewRecord();
    At(0).length = static_cast<uint32_t>(text_.size());

    // Open elements, innermost last, and how many are open per name, so an
    // end tag that matches nothing is known without walking the stack.
    std::vector<OpenElement> open;
    std::unordered_map<std::wstring_view, uint32_t> openByName;
    const std::wstring_view all(text_);

    size_t pos = 0;
    while (pos < text_.size()) {
        const Node node = ScanNode(pos, this);
        if (node.kind == kElement) {
            const uint32_t index = NewRecord();
            Record& r = At(index);
            r.start = static_cast<uint32_t>(pos);
            r.length = static_cast<uint32_t>(node.length);
            r.flags = static_cast<uint32_t>(std::min<size_t>(open.size(), kLevelMask));
            SetTagLengths(index, node.length, 0);
            AppendChild(open.empty() ? 0 : open.back().record, index);
            if (!node.emptyElement) {
                const size_t nameEnd = NameEnd(pos + 1, pos + node.length);
                open.push_back({index, pos + 1, nameEnd});
                ++openByName[all.substr(pos + 1, nameEnd - pos - 1)];
            }
        } else if (node.kind == kLoneEndTag) {
            const size_t nameEnd = NameEnd(pos + 2, pos + node.length);
            const std::wstring_view name = all.substr(pos + 2, nameEnd - pos - 2);
            auto counted = openByName.find(name);
            if (counted == openByName.end() || counted->second == 0) {
                AddResult(L"lone_end_tag",
                          {{L"tagname", std::wstring(name)}, {L"offset", Decimal(pos)}});
                MarkNotWellFormed();
            } else {
                size_t match = open.size() - 1;
                while (all.substr(open[match].nameBegin,
                                  open[match].nameEnd - open[match].nameBegin) != name) {
                    --match;
                }
                // Outer ones first: each moves its children up once.
                for (size_t i = match + 1; i < open.size(); ++i) UnendElement(open[i].record, pos);
                for (size_t i = match; i < open.size(); ++i) {
                    --openByName[all.substr(open[i].nameBegin,
                                            open[i].nameEnd - open[i].nameBegin)];
                }
                CloseElement(open[match].record, pos, node.length);
                open.resize(match);
            }
        }
        pos += node.length;
    }
    for (const OpenElement& e : open) UnendElement(e.record, text_.size());

    uint32_t topLevel = 0;
    for (uint32_t c = At(0).firstChild; c != 0 && topLevel < 2; c = At(c).nextSibling) ++topLevel;
    if (topLevel == 0) {
        AddResult(L"no_root_element", {});
        MarkNotWellFormed();
    } else if (topLevel > 1) {
        AddResult(L"root_has_sibling", {});
        MarkNotWellFormed();
    }
    return (At(0).flags & kNotWellFormedFlag) == 0;
}

void XmlDocument::CloseElement(uint32_t element, size_t endTagStart, size_t endTagLength) {
    Record& r = At(element);
    const size_t startTag = StartTagLength(element);
    r.length = static_cast<uint32_t>(endTagStart + endTagLength - r.start);
    SetTagLengths(element, startTag, endTagLength);
}

void XmlDocument::UnendElement(uint32_t element, size_t closedAt) {
    AddResult(L"unended_start_tag", {{L"tagname", std::wstring(TagName(element))},
                                     {L"offset", Decimal(At(element).start)},
                                     {L"offset2", Decimal(closedAt)}});
    At(element).flags |= kUnendedFlag;
    At(element).length = static_cast<uint32_t>(StartTagLength(element));
    MoveChildrenAfter(element);
    MarkNotWellFormed();
}

void XmlDocument::AddResult(
    std::wstring_view keyword,
    std::initializer_list<std::pair<std::wstring_view, std::wstring>> attributes) {
    if (resultLog_.size() >= kResultLogCap) return;
    resultLog_ += L'<';
    resultLog_ += keyword;
    for (const auto& attribute : attributes) {
        resultLog_ += L' ';
        resultLog_ += attribute.first;
        resultLog_ += L"=\"";
        resultLog_ += EscapeAttribute(attribute.second);
        resultLog_ += L'"';
    }
    resultLog_ += L" />";
}

XmlDocument::Node XmlDocument::Unterminated(size_t pos, const wchar_t* type,
                                            XmlDocument* errors) const {
    if (errors) {
        // Recorded only: as for the other syntax errors, the caller's
        // well-formedness rests on the element structure (an element cut
        // off by the end of the text is unended, which does count).
        errors->AddResult(L"unterminated_tag_syntax", {{L"type", type}, {L"offset", Decimal(pos)}});
    }
    return {kMarkupError, pos, text_.size() - pos, false};
}

XmlDocument::Node XmlDocument::SyntaxError(size_t pos, size_t length, const wchar_t* keyword,
                                           XmlDocument* errors) const {
    if (errors) {
        errors->AddResult(keyword, {{L"offset", Decimal(pos)}});
    }
    return {kMarkupError, pos, length, false};
}

XmlDocument::Node XmlDocument::ScanNode(size_t pos, XmlDocument* errors) const {
    const std::wstring& t = text_;
    const size_t n = t.size();
    if (t[pos] != L'<') {
        const size_t next = t.find(L'<', pos);
        const size_t end = next == std::wstring::npos ? n : next;
        bool blank = true;
        for (size_t i = pos; i < end && blank; ++i) blank = IsSpace(t[i]);
        return {blank ? kWhitespace : kText, pos, end - pos, false};
    }
    if (pos + 1 >= n) return Unterminated(pos, L"tag", errors);
    const wchar_t c = t[pos + 1];
    if (c == L'/') {
        const size_t close = t.find(L'>', pos + 2);
        if (close == std::wstring::npos) return Unterminated(pos, L"end_tag", errors);
        return {kLoneEndTag, pos, close + 1 - pos, false};
    }
    if (c == L'?') {
        const size_t close = Find(t, L"?>", pos + 2);
        if (close == kNone) return Unterminated(pos, L"processing_instruction", errors);
        return {kProcessingInstruction, pos, close + 2 - pos, false};
    }
    if (c == L'!') {
        if (pos + 2 >= n) return Unterminated(pos, L"tag", errors);
        const wchar_t c2 = t[pos + 2];
        if (c2 == L'-') {
            if (pos + 3 >= n) return Unterminated(pos, L"comment", errors);
            if (t[pos + 3] != L'-') return SyntaxError(pos, 4, L"comment_tag_syntax", errors);
            const size_t close = Find(t, L"-->", pos + 4);
            if (close == kNone) return Unterminated(pos, L"comment", errors);
            return {kComment, pos, close + 3 - pos, false};
        }
        if (c2 == L'[') {
            if (pos + 3 >= n) return Unterminated(pos, L"cdata_section", errors);
            if (t[pos + 3] != L'C') return SyntaxError(pos, 4, L"cdata_section_syntax", errors);
            const size_t close = Find(t, L"]]>", pos + 4);
            if (close == kNone) return Unterminated(pos, L"cdata_section", errors);
            return {kCData, pos, close + 3 - pos, false};
        }
        if (c2 == L'D') {
            const size_t end = ScanDocumentType(pos, errors);
            if (end == kNone) return Unterminated(pos, L"document_type", errors);
            return {kDocumentType, pos, end - pos, false};
        }
        return SyntaxError(pos, 3, L"exclamation_tag_syntax", errors);
    }
    if (!StartsElementName(c)) return SyntaxError(pos, 2, L"first_tag_syntax", errors);

    // A start tag runs to the first '>' outside a quoted attribute value.
    size_t scan = NameEnd(pos + 1, n);
    Attribute attr;
    AttributeStep step;
    while ((step = NextAttribute(&scan, n, &attr)) == AttributeStep::kAttribute) {
    }
    if (step == AttributeStep::kRanOut) return Unterminated(pos, L"start_tag", errors);
    return {kElement, pos, scan + 1 - pos, t[scan - 1] == L'/'};
}

size_t XmlDocument::ScanDocumentType(size_t pos, XmlDocument* errors) const {
    const std::wstring& t = text_;
    const size_t n = t.size();
    size_t p = pos + 3;
    while (p < n) {
        const wchar_t c = t[p];
        if (c == L'"' || c == L'\'') {
            const size_t close = t.find(c, p + 1);
            if (close == std::wstring::npos) return kNone;
            p = close + 1;
        } else if (c == L'>') {
            return p + 1;
        } else if (c == L'<' && p + 1 < n && t[p + 1] == L'?') {
            const size_t close = Find(t, L"?>", p + 2);
            if (close == kNone) return kNone;
            p = close + 2;
        } else if (c == L'<' && p + 1 < n && t[p + 1] == L'!') {
            if (p + 2 >= n) return kNone;
            const wchar_t kind = t[p + 2];
            if (kind == L'-') {
                if (p + 3 >= n) return kNone;
                if (t[p + 3] != L'-') {
                    SyntaxError(p, 4, L"comment_tag_syntax", errors);
                    p += 4;
                    continue;
                }
                const size_t close = Find(t, L"-->", p + 4);
                if (close == kNone) return kNone;
                p = close + 3;
            } else if (kind == L'A' || kind == L'E' || kind == L'N') {
                // A declaration runs to its '>', quoted literals skipped.
                size_t q = p + 3;
                while (q < n && t[q] != L'>') {
                    if (t[q] == L'"' || t[q] == L'\'') {
                        const size_t close = t.find(t[q], q + 1);
                        if (close == std::wstring::npos) return kNone;
                        q = close;
                    }
                    ++q;
                }
                if (q >= n) return kNone;
                p = q + 1;
            } else {
                SyntaxError(p, 3, L"doctype_tag_syntax", errors);
                p += 3;
            }
        } else {
            ++p;
        }
    }
    return kNone;
}

XmlDocument::AttributeStep XmlDocument::NextAttribute(size_t* pos, size_t end,
                                                      Attribute* attr) const {
    const std::wstring& t = text_;
    size_t p = *pos;
    for (;;) {
        p = SkipSpaces(t, p, end);
        if (p >= end) {
            *pos = p;
            return AttributeStep::kRanOut;
        }
        if (t[p] == L'>') {
            *pos = p;
            return AttributeStep::kTagEnd;
        }
        if (t[p] == L'/' || t[p] == L'?') {
            ++p;
            continue;
        }
        attr->nameBegin = p;
        while (p < end && !EndsAttributeName(t[p])) ++p;
        attr->nameEnd = p;
        attr->valueBegin = attr->valueEnd = p;
        size_t q = SkipSpaces(t, p, end);
        if (q < end && t[q] == L'=') {
            q = SkipSpaces(t, q + 1, end);
            if (q < end && (t[q] == L'"' || t[q] == L'\'')) {
                const size_t close = t.find(t[q], q + 1);
                if (close == std::wstring::npos || close >= end) {
                    *pos = end;
                    return AttributeStep::kRanOut;
                }
                attr->valueBegin = q + 1;
                attr->valueEnd = close;
                p = close + 1;
            } else {
                // Unquoted: to whitespace or the end of the tag ("/>" included).
                attr->valueBegin = q;
                while (q < end && !IsSpace(t[q]) && t[q] != L'>' &&
                       !(t[q] == L'/' && q + 1 < end && t[q + 1] == L'>')) {
                    ++q;
                }
                attr->valueEnd = q;
                p = q;
            }
        }
        // A stray "=value" has no name: skipped, its quotes still respected.
        if (attr->nameBegin == attr->nameEnd) continue;
        *pos = p;
        return AttributeStep::kAttribute;
    }
}

size_t XmlDocument::NameEnd(size_t pos, size_t end) const {
    while (pos < end && !EndsName(text_[pos])) ++pos;
    return pos;
}

// --- Cursor ----------------------------------------------------------------

void XmlDocument::SetCurrentElement(uint32_t element) {
    current_ = element;
    child_ = 0;
    nodeKind_ = kElement;
    nodeOffset_ = At(element).start;
    nodeLength_ = At(element).length;
}

bool XmlDocument::FindElement() {
    if (recordCount_ == 0) return false;
    uint32_t next;
    if (current_ != 0) {
        next = At(current_).nextSibling;
    } else if (nodeKind_ != kNoNode) {
        next = child_;
    } else {
        next = At(parent_).firstChild;
    }
    if (next == 0) return false;
    SetCurrentElement(next);
    return true;
}

bool XmlDocument::FindElement(std::wstring_view name) {
    if (recordCount_ == 0) return false;
    if (name.empty()) return FindElement();
    if (name.find_first_of(L"/[") != std::wstring_view::npos) return FindPath(name);
    const uint32_t saved[] = {current_, child_};
    const NodeKind savedKind = nodeKind_;
    const size_t savedNode[] = {nodeOffset_, nodeLength_};
    while (FindElement()) {
        if (MatchesName(current_, name)) return true;
    }
    current_ = saved[0];
    child_ = saved[1];
    nodeKind_ = savedKind;
    nodeOffset_ = savedNode[0];
    nodeLength_ = savedNode[1];
    return false;
}

bool XmlDocument::FindNode() {
    if (recordCount_ == 0) return false;
    size_t pos;
    uint32_t next;
    if (current_ != 0) {
        pos = static_cast<size_t>(At(current_).start) + At(current_).length;
        next = At(current_).nextSibling;
    } else if (nodeKind_ != kNoNode) {
        pos = nodeOffset_ + nodeLength_;
        next = child_;
    } else {
        pos = ContentBegin(parent_);
        next = At(parent_).firstChild;
    }
    const size_t end = ContentEnd(parent_);
    if (pos >= end) return false;
    if (next != 0 && At(next).start == pos) {
        SetCurrentElement(next);
        return true;
    }
    Node node = ScanNode(pos, nullptr);
    // Never past the next element or the parent's content.
    const size_t limit = next != 0 ? std::min<size_t>(At(next).start, end) : end;
    if (node.length > limit - pos || node.kind == kElement) {
        // Not a node the parse saw here; never read past the limit.
        node.kind = kMarkupError;
        node.length = std::min(node.length, limit - pos);
    }
    current_ = 0;
    child_ = next;
    nodeKind_ = node.kind;
    nodeOffset_ = pos;
    nodeLength_ = node.length;
    return true;
}

bool XmlDocument::EnterElement() {
    if (recordCount_ == 0 || current_ == 0) return false;
    parent_ = current_;
    current_ = 0;
    child_ = 0;
    nodeKind_ = kNoNode;
    nodeOffset_ = nodeLength_ = 0;
    return true;
}

bool XmlDocument::LeaveElement() {
    if (recordCount_ == 0 || parent_ == 0) return false;
    const uint32_t element = parent_;
    parent_ = At(element).parent;
    SetCurrentElement(element);
    return true;
}

XmlDocument::Node XmlDocument::CurrentNode() const {
    if (current_ != 0) return {kElement, At(current_).start, At(current_).length, false};
    return {nodeKind_, nodeOffset_, nodeLength_, false};
}

std::wstring_view XmlDocument::TagName(uint32_t element) const {
    const size_t start = At(element).start;
    const size_t end = NameEnd(start + 1, start + StartTagLength(element));
    return std::wstring_view(text_).substr(start + 1, end - start - 1);
}

std::wstring_view XmlDocument::NodeName(const Node& node) const {
    const std::wstring_view all(text_);
    const size_t end = node.start + node.length;
    switch (node.kind) {
        case kText:
        case kWhitespace:
            return L"#text";
        case kCData:
            return L"#cdata-section";
        case kComment:
            return L"#comment";
        case kProcessingInstruction: {
            const size_t nameEnd = NameEnd(node.start + 2, end);
            return all.substr(node.start + 2, nameEnd - node.start - 2);
        }
        case kLoneEndTag: {
            const size_t nameEnd = NameEnd(node.start + 2, end);
            return all.substr(node.start + 2, nameEnd - node.start - 2);
        }
        case kDocumentType: {
            // "<!DOCTYPE name ...": the name after the keyword.
            size_t p = node.start + 2;
            while (p < end && !IsSpace(text_[p]) && text_[p] != L'[' && text_[p] != L'>') ++p;
            p = SkipSpaces(text_, p, end);
            size_t q = p;
            while (q < end && !IsSpace(text_[q]) && text_[q] != L'[' && text_[q] != L'>') ++q;
            return all.substr(p, q - p);
        }
        default:
            return {};
    }
}

std::wstring XmlDocument::GetTagName() const {
    if (recordCount_ == 0) return {};
    if (current_ != 0) return std::wstring(TagName(current_));
    return std::wstring(NodeName(CurrentNode()));
}

std::wstring XmlDocument::GetAttributeName(size_t index) const {
    if (recordCount_ == 0) return {};
    size_t pos, end;
    if (current_ != 0) {
        const size_t start = At(current_).start;
        end = start + StartTagLength(current_);
        pos = NameEnd(start + 1, end);
    } else if (nodeKind_ == kProcessingInstruction) {
        end = nodeOffset_ + nodeLength_ - 2;  // at "?>"
        pos = NameEnd(nodeOffset_ + 2, end);
    } else {
        return {};
    }
    Attribute attr;
    for (size_t i = 0; NextAttribute(&pos, end, &attr) == AttributeStep::kAttribute; ++i) {
        if (i == index) return text_.substr(attr.nameBegin, attr.nameEnd - attr.nameBegin);
    }
    return {};
}

bool XmlDocument::AttributeSpan(uint32_t element, std::wstring_view name, Attribute* found) const {
    size_t pos, end;
    if (element != 0) {
        const size_t start = At(element).start;
        end = start + StartTagLength(element);
        pos = NameEnd(start + 1, end);
    } else if (nodeKind_ == kProcessingInstruction) {
        end = nodeOffset_ + nodeLength_ - 2;
        pos = NameEnd(nodeOffset_ + 2, end);
    } else {
        return false;
    }
    const std::wstring_view all(text_);
    while (NextAttribute(&pos, end, found) == AttributeStep::kAttribute) {
        if (all.substr(found->nameBegin, found->nameEnd - found->nameBegin) == name) return true;
    }
    return false;
}

std::wstring XmlDocument::GetAttributeValue(std::wstring_view name) const {
    if (recordCount_ == 0 || name.empty()) return {};
    Attribute attr;
    if (!AttributeSpan(current_, name, &attr)) return {};
    return DecodeReferences(
        std::wstring_view(text_).substr(attr.valueBegin, attr.valueEnd - attr.valueBegin));
}

std::wstring XmlDocument::NodeText(const Node& node) const {
    const std::wstring_view all(text_);
    const size_t end = node.start + node.length;
    switch (node.kind) {
        case kText:
        case kWhitespace:
            return DecodeReferences(all.substr(node.start, node.length));
        case kCData: {
            const size_t begin = std::min(node.start + 9, end - 3);  // after "<![CDATA["
            return std::wstring(all.substr(begin, end - 3 - begin));
        }
        case kComment:
            return std::wstring(all.substr(node.start + 4, node.length - 7));
        case kProcessingInstruction:
            return std::wstring(all.substr(node.start + 2, node.length - 4));
        default:
            return {};
    }
}

std::wstring XmlDocument::GetText() const {
    if (recordCount_ == 0) return {};
    if (current_ == 0) return nodeKind_ == kNoNode ? std::wstring() : NodeText(CurrentNode());
    if (At(current_).firstChild != 0) return {};
    std::wstring out;
    const size_t end = ContentEnd(current_);
    for (size_t pos = ContentBegin(current_); pos < end;) {
        Node node = ScanNode(pos, nullptr);
        if (node.length > end - pos) break;  // not a node boundary the parse saw
        if (node.kind == kText || node.kind == kWhitespace || node.kind == kCData) {
            out += NodeText(node);
        }
        pos += node.length;
    }
    return out;
}

// --- Names and paths -------------------------------------------------------

bool XmlDocument::MatchesName(uint32_t element, std::wstring_view requested) const {
    const std::wstring_view tag = TagName(element);
    if (requested.size() < tag.size() || requested.substr(0, tag.size()) != tag) return false;
    if (requested.size() == tag.size()) return true;
    const wchar_t next = requested[tag.size()];
    return next == L' ' || next == L'=' || next == L'/' || next == L'[' || next == L']';
}

namespace {

// Reads "[n]", "[@attr]" or "[@attr='value']" at `pos`; false if malformed.
template <typename Step>
bool ParseCondition(std::wstring_view path, size_t* pos, Step* step) {
    size_t p = *pos + 1;  // after '['
    if (p < path.size() && path[p] >= L'0' && path[p] <= L'9') {
        uint64_t n = 0;
        while (p < path.size() && path[p] >= L'0' && path[p] <= L'9' && n <= 0xFFFFFFFFu) {
            n = n * 10 + (path[p++] - L'0');
        }
        if (p >= path.size() || path[p] != L']' || n == 0 || n > 0xFFFFFFFFu) return false;
        if (step->position != 0) return false;  // one position per step
        step->position = static_cast<uint32_t>(n);
        *pos = p + 1;
        return true;
    }
    if (p >= path.size() || path[p] != L'@') return false;
    const size_t nameBegin = ++p;
    while (p < path.size() && path[p] != L'=' && path[p] != L']') ++p;
    if (p >= path.size() || p == nameBegin) return false;
    typename Step::Condition condition{path.substr(nameBegin, p - nameBegin), false, {}};
    if (path[p] == L'=') {
        ++p;
        if (p >= path.size() || (path[p] != L'\'' && path[p] != L'"')) return false;
        const size_t close = path.find(path[p], p + 1);
        if (close == std::wstring_view::npos) return false;
        condition.hasValue = true;
        condition.value = path.substr(p + 1, close - p - 1);
        p = close + 1;
        if (p >= path.size() || path[p] != L']') return false;
    }
    step->conditions.push_back(condition);
    *pos = p + 1;
    return true;
}

}  // namespace

bool XmlDocument::MatchesStep(uint32_t element, const PathStep& step) const {
    if (TagName(element) != step.name) return false;
    for (const auto& condition : step.conditions) {
        Attribute attr;
        if (!AttributeSpan(element, condition.attribute, &attr)) return false;
        if (condition.hasValue &&
            DecodeReferences(std::wstring_view(text_).substr(
                attr.valueBegin, attr.valueEnd - attr.valueBegin)) != condition.value) {
            return false;
        }
    }
    return true;
}

bool XmlDocument::FindPath(std::wstring_view path) {
    enum class Scope { kFollowing, kTopLevel, kAnywhere } scope = Scope::kFollowing;
    size_t p = 0;
    if (path.substr(0, 2) == L"//") {
        scope = Scope::kAnywhere;
        p = 2;
    } else if (path.substr(0, 1) == L"/") {
        scope = Scope::kTopLevel;
        p = 1;
    }
    std::vector<PathStep> steps;
    for (;;) {
        PathStep step;
        const size_t nameBegin = p;
        while (p < path.size() && path[p] != L'/' && path[p] != L'[') ++p;
        if (p == nameBegin) return false;  // empty step
        step.name = path.substr(nameBegin, p - nameBegin);
        while (p < path.size() && path[p] == L'[') {
            if (!ParseCondition(path, &p, &step)) return false;
        }
        steps.push_back(step);
        if (p >= path.size()) break;
        if (path[p] != L'/') return false;
        ++p;
    }

    // The first step's candidates depend on the scope; later steps look at
    // the children of the previous step's match. Backtracks on failure.
    uint32_t first;
    if (scope == Scope::kAnywhere) {
        first = recordCount_ > 1 ? 1 : 0;
    } else if (scope == Scope::kTopLevel) {
        first = At(0).firstChild;
    } else if (current_ != 0) {
        first = At(current_).nextSibling;
    } else {
        first = nodeKind_ != kNoNode ? child_ : At(parent_).firstChild;
    }
    auto next = [&](size_t k, uint32_t c) -> uint32_t {
        if (k == 0 && scope == Scope::kAnywhere) return c + 1 < recordCount_ ? c + 1 : 0;
        return At(c).nextSibling;
    };
    std::vector<uint32_t> candidate(steps.size(), 0), seen(steps.size(), 0);
    candidate[0] = first;
    size_t k = 0;
    for (;;) {
        bool found = false;
        while (candidate[k] != 0) {
            if (MatchesStep(candidate[k], steps[k])) {
                ++seen[k];
                if (steps[k].position == 0 || seen[k] == steps[k].position) {
                    found = true;
                    break;
                }
            }
            candidate[k] = next(k, candidate[k]);
        }
        if (!found) {
            if (k == 0) return false;
            --k;
            // The n-th match of a step is unique: nothing else to try there.
            candidate[k] = steps[k].position != 0 ? 0 : next(k, candidate[k]);
            continue;
        }
        if (k + 1 == steps.size()) break;
        ++k;
        candidate[k] = At(candidate[k - 1]).firstChild;
        seen[k] = 0;
    }
    const uint32_t match = candidate[k];
    parent_ = At(match).parent;
    SetCurrentElement(match);
    return true;
}

// --- References and escaping -----------------------------------------------

std::wstring XmlDocument::DecodeReferences(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t amp = text.find(L'&', i);
        if (amp == std::wstring_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, amp - i));
        // Up to nine ASCII characters, then ';'.
        size_t j = amp + 1;
        while (j < text.size() && j - amp - 1 <= 9 && text[j] != L';' && text[j] <= 0x7F) ++j;
        unsigned cp = 0;
        if (j < text.size() && text[j] == L';' && j - amp - 1 <= 9) {
            cp = ReferenceCodePoint(text.substr(amp + 1, j - amp - 1));
        }
        if (cp != 0) {
            AppendCodePoint(out, cp);
            i = j + 1;
        } else {
            out += L'&';
            i = amp + 1;
        }
    }
    return out;
}

namespace {

std::wstring Escape(std::wstring_view text, bool attribute) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'<':
                out += L"&lt;";
                break;
            case L'&':
                out += L"&amp;";
                break;
            case L'>':
                out += L"&gt;";
                break;
            case L'"':
                if (attribute) {
                    out += L"&quot;";
                } else {
                    out += c;
                }
                break;
            case L'\'':
                if (attribute) {
                    out += L"&apos;";
                } else {
                    out += c;
                }
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

std::wstring XmlDocument::EscapeText(std::wstring_view text) { return Escape(text, false); }

std::wstring XmlDocument::EscapeAttribute(std::wstring_view value) { return Escape(value, true); }

std::wstring XmlDocument::EscapeCData(std::wstring_view text) {
    std::wstring out = L"<![CDATA[";
    size_t i = 0;
    for (size_t hit; (hit = text.find(L"]]>", i)) != std::wstring_view::npos; i = hit + 3) {
        out.append(text.substr(i, hit - i));
        out += L"]]]]><![CDATA[>";
    }
    out.append(text.substr(i));
    out += L"]]>";
    return out;
}

// --- Writing ---------------------------------------------------------------

namespace {

bool IsWritableName(std::wstring_view name, bool element) {
    if (name.empty() || (element && !StartsElementName(name[0]))) return false;
    for (wchar_t c : name) {
        if (EndsName(c) || c == L'&' || c == L']' || c == L'[' || c == 0) return false;
    }
    return true;
}

}  // namespace

uint32_t XmlDocument::FindRecordByStart(size_t start) const {
    // Records are created in document order, so their starts ascend.
    uint32_t lo = 1, hi = recordCount_;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (At(mid).start < start) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo < recordCount_ && At(lo).start == start ? lo : 0;
}

bool XmlDocument::Rewrite(size_t at, size_t removeCount, std::wstring_view insert,
                          size_t newCurrent) {
    if (text_.size() - removeCount + insert.size() > kMaxTextLength) return false;
    text_.replace(at, removeCount, insert.data(), insert.size());
    // The log belongs to the text as it was set; writing keeps it.
    std::wstring log = std::move(resultLog_);
    resultLog_.clear();
    Parse();
    resultLog_ = std::move(log);
    const uint32_t element = FindRecordByStart(newCurrent);
    if (element == 0) return false;
    parent_ = At(element).parent;
    SetCurrentElement(element);
    return true;
}

bool XmlDocument::AddElement(std::wstring_view name, std::wstring_view text, bool cdata) {
    if (recordCount_ == 0) {
        // Writing into a cleared document starts an empty one.
        text_.clear();
        Parse();
        resultLog_.clear();
    }
    if (!IsWritableName(name, true)) return false;
    std::wstring markup = L"<";
    markup += name;
    if (text.empty()) {
        markup += L" />";
    } else {
        markup += L'>';
        markup += cdata ? EscapeCData(text) : EscapeText(text);
        markup += L"</";
        markup += name;
        markup += L'>';
    }
    if (current_ != 0 || nodeKind_ != kNoNode) {
        const Node node = CurrentNode();
        return Rewrite(node.start + node.length, 0, markup, node.start + node.length);
    }
    if (parent_ == 0 || EndTagLength(parent_) != 0) {
        const size_t at = ContentBegin(parent_);
        return Rewrite(at, 0, markup, at);
    }
    if (At(parent_).flags & kUnendedFlag) return false;  // its content is not its own
    // An empty-element parent "<p />" becomes "<p>child</p>".
    const size_t tagStart = At(parent_).start;
    const size_t tagEnd = tagStart + StartTagLength(parent_);  // after "/>"
    size_t cut = tagEnd - 2;
    while (cut > tagStart && IsSpace(text_[cut - 1])) --cut;
    const std::wstring parentName(TagName(parent_));
    std::wstring replacement = L">" + markup + L"</" + parentName + L">";
    return Rewrite(cut, tagEnd - cut, replacement, cut + 1);
}

bool XmlDocument::SetElementAttribute(std::wstring_view name, std::wstring_view value) {
    if (recordCount_ == 0 || current_ == 0 || !IsWritableName(name, false)) return false;
    std::wstring written(name);
    written += L"=\"";
    written += EscapeAttribute(value);
    written += L'"';
    const size_t start = At(current_).start;
    Attribute attr;
    if (AttributeSpan(current_, name, &attr)) {
        size_t end = attr.valueEnd;
        if (end < text_.size() && attr.valueBegin > attr.nameEnd &&
            (text_[attr.valueBegin - 1] == L'"' || text_[attr.valueBegin - 1] == L'\'') &&
            text_[end] == text_[attr.valueBegin - 1]) {
            ++end;  // the closing quote
        }
        return Rewrite(attr.nameBegin, end - attr.nameBegin, written, start);
    }
    // Appended after the last attribute, before any blank and "/>" or ">".
    const size_t tagEnd = start + StartTagLength(current_) - 1;  // at '>'
    size_t at = tagEnd;
    if (text_[at - 1] == L'/') --at;
    while (at > start && IsSpace(text_[at - 1])) --at;
    return Rewrite(at, 0, L" " + written, start);
}

bool XmlDocument::SetElementAttribute(std::wstring_view name, long long value) {
    return SetElementAttribute(name, DecimalText(value));
}
