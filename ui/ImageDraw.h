#pragma once
// Drawing a skin image into a rectangle with one of the slicing modes of
// image renders: 0 stretch, 1 horizontal three-slice of the source, 2
// vertical three-slice of the source, 3 nine-grid of the whole image, 4
// horizontal three-slice of the whole image. Controls reuse it for their
// state images.
#include <windows.h>

#include "ui/GdiplusHeaders.h"

enum UIImageDrawType : int {
    kImageStretch = 0,
    kImageThreeSliceH = 1,
    kImageThreeSliceV = 2,
    kImageNineGrid = 3,
    kImageWholeThreeSliceH = 4,
};

// Draws `image` into dst in pixel units. An empty src (no positive width and
// height) means the whole image; a src reaching outside the image is cut to
// the image, and one entirely outside draws nothing. Any other type, an
// empty dst, or an image without pixels draws nothing.
void DrawImageByType(Gdiplus::Graphics& g, Gdiplus::Image* image, int type, const RECT& dst,
                     const RECT& src);
