// Reads back what a window shows: a rectangle of its client area, copied
// from the window's device context into memory once it has painted.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace twinlens::test {

class WindowPixels {
 public:
  // `area` in client coordinates. Empty when the area is empty or unreadable.
  WindowPixels(HWND window, const RECT& area);

  bool empty() const { return pixels_.empty(); }
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF at(int x, int y) const;
  std::size_t count(COLORREF colour) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<COLORREF> pixels_;  // row by row, top row first
};

}  // namespace twinlens::test
