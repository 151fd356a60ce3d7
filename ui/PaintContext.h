#pragma once
// What a paint of the control tree into the host's back buffer knows beyond
// its Gdiplus::Graphics: the buffer's pixels, where the current control's
// origin lies on them and the clip as a whole-pixel rectangle. With it, an
// image drawn at its own size is blended straight into the buffer instead
// of through GDI+, whose software draw of a window background costs more
// than the rest of the paint.
//
// One context is current per thread while it lives. The tree painter moves
// its origin and clip along with the graphics' transform and clip; code that
// changes either in another way while a context is current must mark the
// clip as not plain (Frame) or the graphics' transform will not match.
#include <windows.h>

#include <cstdint>

#include "ui/GdiplusHeaders.h"

class BackBuffer;
struct SkinPixels;

class PaintContext {
  public:
    // Paints through `graphics` land in `buffer`; the graphics has no
    // transform and is clipped to `clip` (buffer coordinates).
    PaintContext(BackBuffer& buffer, Gdiplus::Graphics& graphics, const RECT& clip);
    ~PaintContext();
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;

    // The thread's current context, or null.
    static PaintContext* Current();

    // The origin and clip of one control; restored when it ends.
    class Frame {
      public:
        // Moves the origin to `pos`'s corner and narrows the clip to `pos`
        // (both in the parent's coordinates); `plainClip` false when the
        // control clips itself to more than its rectangle (round corners).
        Frame(PaintContext* context, const RECT& pos, bool plainClip);
        ~Frame();
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;

      private:
        PaintContext* context_;
        POINT origin_ = {0, 0};
        RECT clip_ = {0, 0, 0, 0};
        bool plain_ = true;
    };

    // Blends `image`'s part (sx, sy, dst's size) over dst, a rectangle in
    // the current control's coordinates, within the clip. False, drawing
    // nothing, when this cannot stand for GDI+'s draw: another graphics, a
    // transform other than the tracked whole-pixel origin, a clip that is
    // not a plain rectangle, a compositing mode other than source over, a
    // source part outside the image, or partly transparent pixels in the
    // part that shows.
    bool BlendUnscaled(Gdiplus::Graphics& g, const SkinPixels& image, int64_t sx, int64_t sy,
                       const RECT& dst);

  private:
    // Whether draws through `g` may go straight into the buffer: the
    // tracked graphics, transform and plain clip, and source-over drawing.
    bool MatchesGraphics(Gdiplus::Graphics& g) const;
    BackBuffer& buffer_;
    Gdiplus::Graphics& graphics_;
    PaintContext* previous_;
    POINT origin_ = {0, 0};
    RECT clip_;
    bool plain_ = true;
};
