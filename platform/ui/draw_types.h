// Plain geometry and colour types shared by the draw context and everything that
// draws through it (the grid, printed pages). No Qt here: the grid's headers use
// these, and only the .cpp files that talk to Qt convert them.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform {

// A colour as 0x00BBGGRR, the layout the programs' settings and styles use.
using Color = uint32_t;

constexpr Color Rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle whose right and bottom edges are exclusive: it covers the
// pixels left <= x < right and top <= y < bottom. The grid's drawing rules are
// written against this convention (a cell rectangle one pixel wider than the
// column shares its border line with the neighbour).
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(Point pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }
    void Offset(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    // Moves each edge inwards by the given amounts (negative amounts grow it).
    void Deflate(int l, int t, int r, int b) {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }
    void Deflate(int n) { Deflate(n, n, n, n); }
    void Inflate(int n) { Deflate(-n, -n, -n, -n); }
    Rect Intersected(const Rect& o) const {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        if (r.IsEmpty())
            return Rect{};
        return r;
    }
    bool Intersects(const Rect& o) const { return !Intersected(o).IsEmpty(); }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace platform
