#include "ui/TreePainter.h"

#include "ui/PaintContext.h"
#include "ui/UIControl.h"

void PaintControlTree(UIControl* control, Gdiplus::Graphics& g, const RECT& area) {
    control->Paint(g);
    for (UIControl* child : control->Children()) {
        if (!child->IsVisibleBit() || (child->GetState() & UIControl::kStateHidden)) continue;
        const RECT& pos = child->GetPos();
        RECT visible;
        // Also skips children with an empty or inverted rectangle. A GDI+
        // emptiness test of the clip would cost more than most paints (the
        // clip becomes a system region each time), and a child whose exact
        // clip is empty inside a rounded parent draws nothing anyway.
        if (!::IntersectRect(&visible, &area, &pos)) continue;
        // A round region is no plain rectangle: images under it go to GDI+.
        const PaintContext::Frame frame(PaintContext::Current(), pos, child->GetRgn() == 0);
        const Gdiplus::GraphicsState state = g.Save();
        g.IntersectClip(
            Gdiplus::Rect(pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top));
        g.TranslateTransform(static_cast<Gdiplus::REAL>(pos.left),
                             static_cast<Gdiplus::REAL>(pos.top));
        child->ClipToRegion(g);
        // Differences inside the child's own rectangle: they cannot overflow
        // as negating an extreme position could.
        const RECT local = {visible.left - pos.left, visible.top - pos.top,
                            visible.right - pos.left, visible.bottom - pos.top};
        PaintControlTree(child, g, local);
        g.Restore(state);
    }
}
