#include "support/window_pixels.h"

#include <algorithm>
#include <memory>
#include <type_traits>

namespace twinlens::test {
namespace {

struct WindowDcRelease {
  HWND window;
  void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
struct DcDelete {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDelete {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using WindowDc = std::unique_ptr<std::remove_pointer_t<HDC>, WindowDcRelease>;
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDelete>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDelete>;

// Puts a bitmap into a device context for the life of the scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, previous_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace

WindowPixels::WindowPixels(HWND window, const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;

  const WindowDc window_dc(GetDC(window), WindowDcRelease{window});
  if (!window_dc) return;
  const MemoryDc memory_dc(CreateCompatibleDC(window_dc.get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const Bitmap bitmap(CreateDIBSection(window_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory_dc || !bitmap || bits == nullptr) return;

  const Selected selected(memory_dc.get(), bitmap.get());
  if (!BitBlt(memory_dc.get(), 0, 0, width, height, window_dc.get(), area.left, area.top,
              SRCCOPY)) {
    return;
  }
  GdiFlush();
  const auto* begin = static_cast<const DWORD*>(bits);
  const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  pixels_.resize(size);
  // A 32-bit DIB pixel is 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
  std::transform(begin, begin + size, pixels_.begin(), [](DWORD pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  });
  width_ = width;
  height_ = height;
}

COLORREF WindowPixels::at(int x, int y) const {
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

std::size_t WindowPixels::count(COLORREF colour) const {
  return static_cast<std::size_t>(std::count(pixels_.begin(), pixels_.end(), colour));
}

}  // namespace twinlens::test
