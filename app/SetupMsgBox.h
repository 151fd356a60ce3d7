#pragma once
// The skinned message box of lua_MsgBox: a modal host window whose plain
// buttons end it with their own id.
#include <string>

#include "ui/UIHostWnd.h"

struct lua_State;

class SetupMsgBox final : public UIHostWnd {
  public:
    SetupMsgBox();
    ~SetupMsgBox() override;

    // Shows the box (layout, native window text and "title" control = title,
    // "msg" control = message) and runs it; the id of the button that ended
    // it, or empty text.
    std::wstring Run(const std::wstring& layoutName, const std::wstring& title,
                     const std::wstring& message, HWND owner);

    int OnNotify(UIEvent& event) override;
    const char* GetClassName() override { return "SetupMsgBox"; }

  private:
    std::wstring endCode_;
};

// lua_MsgBox (layout name, title, message): the id of the button that ended
// the box, or empty text.
int lua_MsgBox(lua_State* L);
