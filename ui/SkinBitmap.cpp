#include "ui/SkinBitmap.h"

#include <cstring>

#include "app/Handles.h"

SkinBitmap::SkinBitmap(IStream* stream, HGLOBAL block)
    : SkinBitmapBlock(block), Gdiplus::Bitmap(stream, FALSE), decodeStatus_(GetLastStatus()) {}

SkinBitmap* DecodeImage(const void* bytes, size_t size) {
    // A zero-sized movable block would be discarded memory; one byte is
    // allocated instead and the stream is cut to the real size.
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size > 0 ? size : 1));
    if (!block) return nullptr;
    void* dst = ::GlobalLock(block.get());
    if (!dst) return nullptr;
    if (size > 0) std::memcpy(dst, bytes, size);
    ::GlobalUnlock(block.get());
    ComPtr<IStream> stream;
    // The stream does not own the block: the bitmap frees it after the
    // image is gone.
    if (FAILED(::CreateStreamOnHGlobal(block.get(), FALSE, stream.put()))) return nullptr;
    ULARGE_INTEGER exact;
    exact.QuadPart = size;
    if (FAILED(stream->SetSize(exact))) return nullptr;
    return new SkinBitmap(stream.get(), block.release());
}
