// Display surfaces: 16-bit RGB565 and 8-bit palettised pictures in memory, with the
// blit, colour-key and lock operations the game draws with. Results follow the old
// display API the game was written against: 0 (DD_OK) is success, anything else failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using HRESULT = int32_t;

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = -1;
constexpr HRESULT DDERR_INVALIDPARAMS = -2;
constexpr HRESULT DDERR_INVALIDRECT = -3;
constexpr HRESULT DDERR_NOPALETTEATTACHED = -4;
constexpr HRESULT DDERR_OUTOFMEMORY = -5;
constexpr HRESULT DDERR_SURFACEBUSY = -6;
constexpr HRESULT DDERR_NOCOLORKEY = -7;
constexpr HRESULT DDERR_NOTLOCKED = -8;
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = -9;

// Blit flags.
constexpr uint32_t DDBLT_COLORFILL = 0x400;
constexpr uint32_t DDBLT_KEYSRC = 0x8000;
constexpr uint32_t DDBLT_WAIT = 0x1000000;

// Surface description flags (which fields are valid).
constexpr uint32_t DDSD_CAPS = 0x1;
constexpr uint32_t DDSD_HEIGHT = 0x2;
constexpr uint32_t DDSD_WIDTH = 0x4;
constexpr uint32_t DDSD_PITCH = 0x8;
constexpr uint32_t DDSD_PIXELFORMAT = 0x1000;
constexpr uint32_t DDSD_LPSURFACE = 0x800;

constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr uint32_t DDCKEY_SRCBLT = 0x8;
constexpr uint32_t DDLOCK_WAIT = 0x1;

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;
};

struct PixelFormat {
  uint32_t bitsPerPixel = 16;  // 16, or 8 for a palettised surface
  uint32_t redMask = 0xF800, greenMask = 0x07E0, blueMask = 0x001F, alphaMask = 0;
  bool palettised = false;
};

struct SurfaceDesc {
  uint32_t size = 108;
  uint32_t flags = 0;
  int32_t width = 0, height = 0;
  int32_t pitch = 0;           // bytes per row
  void* memory = nullptr;      // set by Lock
  PixelFormat pixelFormat;
  uint32_t caps = 0;
};

struct ColorKey {
  uint32_t low = 0, high = 0;
};

struct BltFx {
  uint32_t size = 100;
  uint32_t fillColor = 0;
};

struct PaletteEntry {
  uint8_t red = 0, green = 0, blue = 0, flags = 0;
};

class Surface;

// One piece of drawing as a surface received it: enough to tell the same drawing made
// again (the same source pixels, rectangles, flags and colour) and to carry it out later.
struct DrawOp {
  enum class Kind : uint8_t { Blit, Fill, Direct };  // Direct: written through a pointer
  Kind kind = Kind::Blit;
  Surface* source = nullptr;  // blits only
  uint64_t sourceVersion = 0;
  Rect to, from;
  uint32_t flags = 0, fill = 0;
  // Writes through a pointer are never known to repeat.
  bool Repeats(const DrawOp& o) const {
    return kind != Kind::Direct && kind == o.kind && source == o.source &&
           sourceVersion == o.sourceVersion && to == o.to && from == o.from &&
           flags == o.flags && fill == o.fill;
  }
};

class Palette {
 public:
  Palette();
  HRESULT GetEntries(uint32_t flags, uint32_t base, uint32_t count, PaletteEntry* out) const;
  uint32_t AddRef();
  uint32_t Release();
  PaletteEntry entries[256];

 private:
  ~Palette() = default;
  uint32_t refs_ = 1;
};

// A reference-counted picture in memory. Made with refcount 1; Release at 0 frees it.
class Surface {
 public:
  // Platform-side construction; game code goes through DirectDraw::CreateSurface
  // or DalkLoadBitmap. bitsPerPixel is 16 or 8. Null when the size is unusable.
  static Surface* Create(int width, int height, int bitsPerPixel);

  HRESULT GetSurfaceDesc(SurfaceDesc* desc) const;
  HRESULT SetColorKey(uint32_t flags, const ColorKey* key);
  HRESULT GetColorKey(uint32_t flags, ColorKey* key) const;
  // Copies (or colour-fills, with DDBLT_COLORFILL and fx) src's srcRect onto dst of this
  // surface, stretching when the sizes differ. Null rectangles mean the whole surface.
  // Empty, inverted or out-of-bounds rectangles are refused (DDERR_INVALIDRECT).
  HRESULT Blt(const Rect* dst, Surface* src, const Rect* srcRect, uint32_t flags, const BltFx* fx);
  HRESULT Lock(const Rect* rect, SurfaceDesc* desc, uint32_t flags, void* event);
  HRESULT Unlock(const Rect* rect);
  HRESULT GetDC(void** dc);
  HRESULT ReleaseDC(void* dc);
  HRESULT GetPalette(Palette** palette);  // AddRefs the palette; 8-bit surfaces only
  uint32_t AddRef();
  uint32_t Release();

  // Exchanges the pixels with a surface of the same size and format (the flip chain);
  // size, pitch, palette and colour key stay with each object. Does nothing otherwise.
  // The areas drawn on go with the pixels they describe.
  void SwapContents(Surface& other);

  // The display's surfaces remember where they were drawn on (blits, fills, locks), so a
  // present can look only there for what changed. Off for every other surface.
  void TrackDamage(bool on);
  void NoteDamage(const Rect& area);
  // The areas drawn on since the last call (clipped to the surface, possibly overlapping).
  std::vector<Rect> TakeDamage();

  // Ends the frame on every surface drawn on since the last call (at each present). The
  // game redraws most of its picture every frame though little of it changes, so drawing
  // that repeats what made a surface's present pixels is held back, and at the latest here
  // it is either found to change nothing and dropped, or carried out (ddraw_repeat.cpp).
  static void EndFrames();

  // Direct access for the platform and for tests. Writing through these counts as drawing
  // of an unknown kind; reading first carries out whatever drawing is held back.
  int width() const { return width_; }
  int height() const { return height_; }
  int pitch() const { return pitch_; }
  int bitsPerPixel() const { return bpp_; }
  uint8_t* pixels() {
    WrittenDirectly(Rect{0, 0, width_, height_});
    return pixels_.data();
  }
  const uint8_t* pixels() const {
    Settle();
    return pixels_.data();
  }
  uint16_t* row16(int y) {
    WrittenDirectly(Rect{0, y, width_, y + 1});
    return reinterpret_cast<uint16_t*>(pixels_.data() + y * pitch_);
  }
  const uint16_t* row16(int y) const {
    Settle();
    return reinterpret_cast<const uint16_t*>(pixels_.data() + y * pitch_);
  }
  Palette* palette() const { return palette_; }
  bool hasColorKey() const { return hasKey_; }
  uint32_t colorKey() const { return key_.low; }

 private:
  Surface(int width, int height, int bitsPerPixel);
  ~Surface();

  // Held-back drawing (ddraw_repeat.cpp).
  enum class OpState : uint8_t { Held, Drawing, Drawn, Settled };
  struct FrameOp {
    DrawOp op;
    OpState state;
  };
  void Draw(const DrawOp& op);  // the pixel work of a checked blit or fill (ddraw_blit.cpp)
  void Record(const DrawOp& op);
  void WrittenDirectly(const Rect& area);
  void Append(const DrawOp& op, OpState state);
  // Settles the held-back drawing whose component touches `area` (all of it for null).
  void Resolve(const Rect* area);
  void ResolveOp(size_t index);
  // Entries are numbered this frame's first (0..), then `made_`'s.
  std::vector<Rect> EntryRects() const;
  // The component of entry `seed`, or of those touching `area` (seed -1); false when it is
  // too large to be worth growing this way.
  bool ComponentOf(int seed, const Rect* area, std::vector<int>* members) const;
  struct Components {
    std::vector<int> members;  // component after component, each in drawing order
    std::vector<int> starts;   // where each begins in `members`, and the end
  };
  Components AllComponents() const;
  void ResolveComponent(const int* members, size_t count);
  template <typename Picks>
  void ResolveAll(Picks touches);
  void Execute(FrameOp& entry);
  void Enlist();
  void Forget();
  void Changed();
  void Settle() const {
    if (held_ > 0) const_cast<Surface*>(this)->Resolve(nullptr);
  }
  // Carries out, or finds unneeded, the held-back drawing elsewhere that reads `area` of
  // this surface: it must read these pixels as they were when it was asked for.
  void ResolveReaders(const Rect& area);

  int width_, height_, pitch_, bpp_;
  std::vector<uint8_t> pixels_;
  Palette* palette_ = nullptr;
  ColorKey key_;
  bool hasKey_ = false;
  int locks_ = 0;
  uint32_t refs_ = 1;
  bool tracked_ = false;
  std::vector<Rect> damage_;
  // Which pixels these are: a fresh number from one counter at every change, so a number is
  // never seen again, even on a new surface at a freed one's address.
  uint64_t version_ = 0;
  // `made_` is the drawing of the last frame that drew here: the present pixels are what it
  // left (whatever came before it). `frame_` is this frame's so far, some of it held back.
  std::vector<DrawOp> made_;
  std::vector<FrameOp> frame_;
  int held_ = 0;           // entries of `frame_` still held back
  int readers_ = 0;        // held-back blits elsewhere that read this surface
  bool enlisted_ = false;  // drawn on since the last EndFrames
};

// The display object: makes off-screen surfaces in the display's format (RGB565).
class DirectDraw {
 public:
  HRESULT CreateSurface(const SurfaceDesc* desc, Surface** out, void* outer);
  uint32_t AddRef();
  uint32_t Release();
  uint32_t refs = 1;
};

// Start-up check of the display: always succeeds here; kept so the start-up reads as designed.
HRESULT DirectDrawCreate(void* guid, DirectDraw** out, void* outer);
// The one display object of the process (DirectDrawCreate and DalkGetLPDD hand it out).
DirectDraw* TheDirectDraw();
