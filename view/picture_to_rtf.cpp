#include "view/picture_to_rtf.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <memory>

#include "base/system_library.h"
#include "base/win_handles.h"
#include "view/picture_rtf.h"

// Where the GDI+ functions are declared (its flat interface and start-up).
namespace gdiplus_declared {
using namespace Gdiplus;
using namespace Gdiplus::DllExports;
}  // namespace gdiplus_declared

namespace tomelet {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// The GDI+ functions the conversion uses, bound at run time from the system folder's
// gdiplus.dll (base/system_library.h).
#define TOMELET_GDIPLUS_FUNCTIONS(X)                                                                 \
  X(GdiplusStartup) X(GdiplusShutdown) X(GdipCreateBitmapFromStream) X(GdipDisposeImage)             \
  X(GdipGetImageWidth) X(GdipGetImageHeight) X(GdipGetImagePixelFormat) X(GdipGetImagePaletteSize) \
  X(GdipGetImagePalette) X(GdipBitmapLockBits) X(GdipBitmapUnlockBits)

// GDI+ lives for one conversion only.
class GdiplusSession {
 public:
  GdiplusSession() : library_(LoadSystemLibrary(L"gdiplus.dll")) {
#define TOMELET_BIND(name) name = SystemFunction<decltype(name)>(library_.get(), #name), ok_ = ok_ && name;
    ok_ = true;
    TOMELET_GDIPLUS_FUNCTIONS(TOMELET_BIND)
#undef TOMELET_BIND
    GdiplusStartupInput input;
    ok_ = ok_ && GdiplusStartup(&token_, &input, nullptr) == Ok;
  }
  ~GdiplusSession() {
    if (ok_) GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return ok_; }

#define TOMELET_MEMBER(name) decltype(&gdiplus_declared::name) name = nullptr;
  TOMELET_GDIPLUS_FUNCTIONS(TOMELET_MEMBER)
#undef TOMELET_MEMBER

 private:
  UniqueLibrary library_;
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

struct ImageDisposer {
  const GdiplusSession* gdiplus;
  void operator()(GpBitmap* bitmap) const { gdiplus->GdipDisposeImage(bitmap); }
};
struct StreamReleaser {
  void operator()(IStream* stream) const { stream->Release(); }
};

SourcePixelFormat Classify(PixelFormat format) {
  switch (format) {
    case PixelFormat1bppIndexed: return SourcePixelFormat::Indexed1;
    case PixelFormat4bppIndexed: return SourcePixelFormat::Indexed4;
    case PixelFormat8bppIndexed: return SourcePixelFormat::Indexed8;
    case PixelFormat32bppRGB: return SourcePixelFormat::Rgb32;
    case PixelFormat32bppARGB: return SourcePixelFormat::Argb32;
    case PixelFormat32bppPARGB: return SourcePixelFormat::Pargb32;
    case PixelFormat48bppRGB: return SourcePixelFormat::Rgb48;
    case PixelFormat64bppARGB: return SourcePixelFormat::Argb64;
    case PixelFormat64bppPARGB: return SourcePixelFormat::Pargb64;
    default: return SourcePixelFormat::Other;
  }
}

PixelFormat LockFormat(std::uint16_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return PixelFormat1bppIndexed;
    case 4: return PixelFormat4bppIndexed;
    case 8: return PixelFormat8bppIndexed;
    case 32: return PixelFormat32bppRGB;
    default: return PixelFormat24bppRGB;
  }
}

// Refuses pictures whose decoded rows and text could not be held at once: the text is
// a little more than twice the bitmap.
bool FitsInMemory(UINT width, UINT height, std::uint16_t bitsPerPixel) {
  const std::uint64_t stride = (std::uint64_t{width} * bitsPerPixel + 31) / 32 * 4;
  const std::uint64_t bitmap = stride * height;
  const std::uint64_t limit = sizeof(void*) == 4 ? (std::uint64_t{1} << 29) : (std::uint64_t{1} << 33);
  return width > 0 && height > 0 && bitmap <= limit;
}

std::vector<std::uint32_t> ReadPalette(const GdiplusSession& gdiplus, GpBitmap* bitmap) {
  INT size = 0;
  if (gdiplus.GdipGetImagePaletteSize(bitmap, &size) != Ok || size < static_cast<INT>(sizeof(ColorPalette))) return {};
  std::vector<std::uint8_t> block(static_cast<std::size_t>(size), 0);
  auto* palette = reinterpret_cast<ColorPalette*>(block.data());
  if (gdiplus.GdipGetImagePalette(bitmap, palette, size) != Ok) return {};
  const std::size_t room = (block.size() - offsetof(ColorPalette, Entries)) / sizeof(ARGB);
  const std::size_t count = std::min<std::size_t>(palette->Count, room);
  return std::vector<std::uint32_t>(palette->Entries, palette->Entries + count);
}

}  // namespace

std::optional<std::string> PictureToRtf(std::string encoded) {
  if (encoded.empty()) return std::nullopt;
  // The stream owns a movable copy of the bytes; the caller's copy goes at once.
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, encoded.size()));
  if (!block) return std::nullopt;
  if (void* target = GlobalLock(block.get())) {
    std::memcpy(target, encoded.data(), encoded.size());
    GlobalUnlock(block.get());
  } else {
    return std::nullopt;
  }
  std::string().swap(encoded);
  IStream* rawStream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, &rawStream))) return std::nullopt;
  block.release();  // the stream frees it
  std::unique_ptr<IStream, StreamReleaser> stream(rawStream);

  GdiplusSession gdiplus;
  if (!gdiplus.ok()) return std::nullopt;
  GpBitmap* rawBitmap = nullptr;
  if (gdiplus.GdipCreateBitmapFromStream(stream.get(), &rawBitmap) != Ok || !rawBitmap) return std::nullopt;
  std::unique_ptr<GpBitmap, ImageDisposer> bitmap(rawBitmap, ImageDisposer{&gdiplus});

  UINT width = 0, height = 0;
  PixelFormat format = 0;
  if (gdiplus.GdipGetImageWidth(bitmap.get(), &width) != Ok || gdiplus.GdipGetImageHeight(bitmap.get(), &height) != Ok ||
      gdiplus.GdipGetImagePixelFormat(bitmap.get(), &format) != Ok)
    return std::nullopt;
  const PictureOutputFormat output = ChoosePictureOutput(Classify(format));
  if (!FitsInMemory(width, height, output.bitsPerPixel)) return std::nullopt;

  DecodedPicture picture;
  picture.width = width;
  picture.height = height;
  picture.bitsPerPixel = output.bitsPerPixel;
  if (output.colourTableEntries > 0) picture.palette = ReadPalette(gdiplus, bitmap.get());

  BitmapData locked{};
  if (gdiplus.GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, LockFormat(output.bitsPerPixel), &locked) != Ok)
    return std::nullopt;
  picture.stride = locked.Stride;
  picture.topRow = static_cast<const std::uint8_t*>(locked.Scan0);
  std::optional<std::string> page = SerializePictureRtf(picture);
  gdiplus.GdipBitmapUnlockBits(bitmap.get(), &locked);
  return page;
}

}  // namespace tomelet
