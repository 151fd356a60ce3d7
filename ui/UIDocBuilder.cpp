#include "ui/UIDocBuilder.h"

#include "app/TextConvert.h"
#include "ui/LayoutTags.h"
#include "ui/UIControl.h"
#include "ui/UIResLoader.h"
#include "xml/XmlDocument.h"

namespace {

// Counts one level for the length of a scope.
class DepthGuard {
  public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

  private:
    int& depth_;
};

void ApplyAttributes(UIControl* control, const XmlDocument& reader) {
    for (size_t i = 0;; ++i) {
        std::wstring name = reader.GetAttributeName(i);
        if (name.empty()) break;
        control->SetAttribute(name, reader.GetAttributeValue(name));
    }
}

void BuildChildren(UIDocBuilder& builder, UIControl* control, XmlDocument& reader) {
    if (!reader.EnterElement()) return;
    while (reader.FindElement()) BuildElement(builder, control, reader);
    reader.LeaveElement();
}

// The control for a non-include element, attached to parent.
UIControl* CreateControl(UIDocBuilder& builder, UIControl* parent, const std::wstring& tag) {
    UIControlCreator create = builder.FindCreator(tag);
    UIControl* control = create ? create() : nullptr;
    if (!control) return nullptr;
    control->SetHost(builder.Host());
    if (parent) parent->AddChild(control);
    return control;
}

}  // namespace

UIControlCreator UIDocBuilder::FindCreator(const std::wstring& tag) const {
    auto it = localTags_.find(tag);
    if (it != localTags_.end()) return it->second;
    return FindControlCreator(tag);
}

UIControl* LoadLayout(UIDocBuilder& builder, UIControl* parent, const std::wstring& fileName) {
    if (builder.includeDepth >= UIDocBuilder::kMaxIncludeDepth) return nullptr;
    DepthGuard include(builder.includeDepth);
    UIResLoader* loader = GetResLoader();
    if (!loader) return nullptr;
    std::string bytes = loader->GetFileData(fileName);
    size_t zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
    XmlDocument reader;
    if (!reader.SetText(Utf8ToWide(bytes)) || !reader.FindElement()) return nullptr;
    UIControl* root = BuildElement(builder, parent, reader);
    if (root) root->Layout();
    return root;
}

UIControl* BuildElement(UIDocBuilder& builder, UIControl* parent, XmlDocument& reader) {
    if (builder.elementDepth >= UIDocBuilder::kMaxElementDepth) return nullptr;
    DepthGuard nesting(builder.elementDepth);
    const std::wstring tag = reader.GetTagName();
    const bool include = tag == kLayoutIncludeTag;
    UIControl* control =
        include ? LoadLayout(builder, parent, reader.GetAttributeValue(kLayoutIncludeFileAttribute))
                : CreateControl(builder, parent, tag);
    if (!control) return nullptr;
    // After the included document's own attributes, so the node's win.
    ApplyAttributes(control, reader);
    BuildChildren(builder, control, reader);
    if (!include) {
        control->SendMessage(WM_CREATE, 0, 0);
        if (control->GetLayout()) control->Layout();
    }
    return control;
}
