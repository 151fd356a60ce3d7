#pragma once
// Turns layout documents of the skin into control trees: each element makes
// the control its tag names, every attribute goes to SetAttribute, and a
// "node" element includes another document in its place.
#include <map>
#include <string>

#include "ui/ControlFactory.h"

class IUIContainer;
class UIControl;
class XmlDocument;

// One load's state: the host the controls are bound to and a tag map that is
// consulted before the process-wide factory.
class UIDocBuilder {
  public:
    explicit UIDocBuilder(IUIContainer* host) : host_(host) {}
    IUIContainer* Host() const { return host_; }
    // Makes `tag` create controls with `create` for this load only.
    void AddLocalTag(const std::wstring& tag, UIControlCreator create) { localTags_[tag] = create; }
    // The local creation function of the tag, else the factory's, else null.
    UIControlCreator FindCreator(const std::wstring& tag) const;

    // Bounds on hostile documents: includes that include themselves, and
    // nesting deep enough to exhaust the stack.
    static constexpr int kMaxIncludeDepth = 16;
    static constexpr int kMaxElementDepth = 256;
    int includeDepth = 0;
    int elementDepth = 0;

  private:
    IUIContainer* host_;
    std::map<std::wstring, UIControlCreator> localTags_;
};

// Loads the skin document `fileName` under parent (null: the caller owns the
// result) and lays it out. The root control, or null when the file is
// missing, not well-formed or its root element makes no control.
UIControl* LoadLayout(UIDocBuilder& builder, UIControl* parent, const std::wstring& fileName);
// Builds the reader's current element and its subtree under parent. Null for
// an unknown tag or a failed include; the element's subtree is then skipped.
UIControl* BuildElement(UIDocBuilder& builder, UIControl* parent, XmlDocument& reader);
