#include "ui/StateIndex.h"

#include "ui/UIControl.h"

int GetStateIndex(const UIControl* control) {
    if (!control) return kStateIndexNormal;
    if (!control->IsEnableBit()) return kStateIndexDisabled;
    const uint32_t state = control->GetState();
    // The select bit makes a control look pressed for as long as it is set
    // (the chosen radio box, the current tab).
    if ((state & (UIControl::kStatePressed | UIControl::kStateActive)) ||
        control->HasStyleA(UIControl::kStyleSelect)) {
        return kStateIndexPressed;
    }
    if (state & UIControl::kStateHover) return kStateIndexHover;
    return kStateIndexNormal;
}
