#pragma once
// A lenient markup reader: indexes the elements of one UTF-16 text in a
// single pass and walks them with a cursor. Markup errors never stop the
// parse; they are recorded in the result log and make SetText return false.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class XmlDocument {
  public:
    // Node kinds the cursor can stand on.
    enum NodeKind : unsigned {
        kNoNode = 0,
        kElement = 1,
        kText = 2,
        kWhitespace = 4,
        kCData = 8,
        kProcessingInstruction = 16,
        kComment = 32,
        kDocumentType = 64,
        kLoneEndTag = 128,
        kMarkupError = 32768,
    };

    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the text (null clears the document), clears the result log
    // and parses. True when the text is well-formed with one top-level
    // element. The cursor stands before the first top-level element.
    bool SetText(const wchar_t* text);
    bool SetText(std::wstring_view text);

    // Moves to the next sibling element (or the first child of the cursor's
    // parent when there is no current node); other nodes are skipped. False,
    // with the cursor unchanged, when there is none.
    bool FindElement();
    // The same, taking only elements named `name`. `name` may be a path:
    // "/a/b" from the top level, "//b" anywhere in the document, "a/b"
    // from the cursor; a step may carry "[n]" (n-th match from 1, counted
    // among the step's candidates that pass its attribute conditions) and
    // "[@attr]" / "[@attr='value']". A malformed path finds nothing; an
    // empty name takes any element.
    bool FindElement(std::wstring_view name);
    // Moves to the next node of any kind among the current parent's
    // content (text, comments, ... included). False at the end.
    bool FindNode();
    // The current element becomes the parent; the cursor stands before its
    // first child. False when the cursor is not on an element.
    bool EnterElement();
    // The parent becomes the current element. False at document level.
    bool LeaveElement();

    // The kind of the current node (kNoNode when there is none).
    NodeKind GetNodeKind() const { return nodeKind_; }
    // Where the current node lies in the text (an element from its '<' to
    // the end of its end tag); 0 and 0 when there is none.
    size_t GetNodeOffset() const { return nodeOffset_; }
    size_t GetNodeLength() const { return nodeLength_; }
    // The element's tag name; "#text", "#cdata-section", "#comment", the
    // target, the end tag's name or the declared name for other nodes.
    std::wstring GetTagName() const;
    // The name of the attribute at `index` (from 0) of the current element
    // or processing instruction; empty past the last one.
    std::wstring GetAttributeName(size_t index) const;
    // The decoded value of the first attribute named `name`; empty when
    // missing.
    std::wstring GetAttributeValue(std::wstring_view name) const;
    // The character data of an element without child elements (text decoded,
    // CDATA verbatim), or the inner text of another node.
    std::wstring GetText() const;

    // Writing. Adds an element at the cursor (after the current node, or at
    // the start of the parent's content) and makes it current. Without text
    // it is written as "<name />"; `cdata` writes the text as CDATA.
    bool AddElement(std::wstring_view name, std::wstring_view text = {}, bool cdata = false);
    // Sets or replaces an attribute of the current element.
    bool SetElementAttribute(std::wstring_view name, std::wstring_view value);
    bool SetElementAttribute(std::wstring_view name, long long value);

    // The document text and the result records of the last parse.
    const std::wstring& GetDocumentText() const { return text_; }
    const std::wstring& GetResultLog() const { return resultLog_; }
    // Number of element records, the document record 0 included.
    uint32_t GetRecordCount() const { return recordCount_; }

    // Escaping for writing.
    static std::wstring EscapeText(std::wstring_view text);
    static std::wstring EscapeAttribute(std::wstring_view value);
    static std::wstring EscapeCData(std::wstring_view text);
    // Decodes character references as attribute values and text are read.
    static std::wstring DecodeReferences(std::wstring_view text);

    // Once the log holds this many characters, further records are dropped.
    static constexpr size_t kResultLogCap = 1000;

  private:
    // flags: low 16 bits the nesting level at which the element was opened
    // (not revised when an unended parent gives its children up; saturates),
    // then kFirstChildFlag, kUnendedFlag and, on record 0, kNotWellFormedFlag.
    struct Record {
        uint32_t start;
        uint32_t length;
        uint32_t tagLengths;
        uint32_t flags;
        uint32_t parent;
        uint32_t firstChild;
        uint32_t nextSibling;
        uint32_t prevSibling;  // of a first child: the parent's last child
    };
    struct Node {
        NodeKind kind;
        size_t start;
        size_t length;
        bool emptyElement;  // a start tag ending in "/>"
    };
    enum class AttributeStep { kAttribute, kTagEnd, kRanOut };
    struct Attribute {
        size_t nameBegin, nameEnd;
        size_t valueBegin, valueEnd;
    };
    struct OpenElement {
        uint32_t record;
        size_t nameBegin, nameEnd;
    };
    struct PathStep;

    static constexpr uint32_t kSegmentBits = 16;
    static constexpr uint32_t kSegmentSize = 1u << kSegmentBits;
    static constexpr uint32_t kLevelMask = 0xFFFF;
    static constexpr uint32_t kFirstChildFlag = 1u << 16;
    static constexpr uint32_t kUnendedFlag = 1u << 17;
    static constexpr uint32_t kNotWellFormedFlag = 1u << 18;
    static constexpr uint32_t kStartTagMax = (1u << 22) - 1;  // also "see longTags_"
    static constexpr uint32_t kEndTagMax = (1u << 10) - 1;

    bool Parse();
    void CloseElement(uint32_t element, size_t endTagStart, size_t endTagLength);
    void UnendElement(uint32_t element, size_t closedAt);
    void MarkNotWellFormed() { At(0).flags |= kNotWellFormedFlag; }
    void ResetCursor();
    void ClearStore();
    void ReserveRecords(uint32_t count);
    uint32_t NewRecord();
    Record& At(uint32_t index) {
        return segments_[index >> kSegmentBits][index & (kSegmentSize - 1)];
    }
    const Record& At(uint32_t index) const {
        return segments_[index >> kSegmentBits][index & (kSegmentSize - 1)];
    }
    void SetTagLengths(uint32_t index, size_t startTag, size_t endTag);
    size_t StartTagLength(uint32_t index) const;
    size_t EndTagLength(uint32_t index) const;
    void AppendChild(uint32_t parent, uint32_t child);
    void MoveChildrenAfter(uint32_t element);
    size_t ContentBegin(uint32_t element) const;
    size_t ContentEnd(uint32_t element) const;

    // Node recognition, shared by the parse and the cursor so that both see
    // the same node boundaries. Records errors only when `errors` is set
    // (the parse passes the document itself).
    Node ScanNode(size_t pos, XmlDocument* errors) const;
    size_t ScanDocumentType(size_t pos, XmlDocument* errors) const;
    Node Unterminated(size_t pos, const wchar_t* type, XmlDocument* errors) const;
    Node SyntaxError(size_t pos, size_t length, const wchar_t* keyword, XmlDocument* errors) const;
    AttributeStep NextAttribute(size_t* pos, size_t end, Attribute* attr) const;
    size_t NameEnd(size_t pos, size_t end) const;
    std::wstring_view NodeName(const Node& node) const;
    std::wstring NodeText(const Node& node) const;
    Node CurrentNode() const;

    void SetCurrentElement(uint32_t element);
    std::wstring_view TagName(uint32_t element) const;
    bool MatchesName(uint32_t element, std::wstring_view requested) const;
    bool FindPath(std::wstring_view path);
    bool MatchesStep(uint32_t element, const PathStep& step) const;
    uint32_t FindRecordByStart(size_t start) const;
    bool AttributeSpan(uint32_t element, std::wstring_view name, Attribute* found) const;
    bool Rewrite(size_t at, size_t removeCount, std::wstring_view insert, size_t newCurrent);
    void AddResult(std::wstring_view keyword,
                   std::initializer_list<std::pair<std::wstring_view, std::wstring>> attributes);

    std::wstring text_;
    std::wstring resultLog_;
    // Cursor: parent, current element and the next child element after a
    // current non-element node (record indexes, 0 = none).
    uint32_t parent_ = 0;
    uint32_t current_ = 0;
    uint32_t child_ = 0;
    NodeKind nodeKind_ = kNoNode;
    size_t nodeOffset_ = 0;
    size_t nodeLength_ = 0;
    // Option bits; always 0 here: names compare case-sensitively and
    // whitespace stays as written.
    unsigned documentFlags_ = 0;
    // Element store: segments of kSegmentSize records that never move.
    std::vector<std::unique_ptr<Record[]>> segments_;
    uint32_t recordCount_ = 0;
    uint32_t recordCapacity_ = 0;
    // Tag lengths too long for their packed fields.
    std::unordered_map<uint32_t, std::pair<size_t, size_t>> longTags_;
};
