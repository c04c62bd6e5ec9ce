#include "platform/win32/button_pictures.h"

#include <algorithm>
#include <vector>

namespace korvid::platform {

namespace {

// Maps points of the 16 x 16 design grid into a square centred in a rectangle.
class DesignGrid {
public:
    DesignGrid(const RECT& area, int shift) {
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        side_ = std::max(8, std::min(width, height) * 5 / 8);
        left_ = area.left + (width - side_) / 2 + shift;
        top_ = area.top + (height - side_) / 2 + shift;
    }
    POINT At(int x, int y) const {
        return POINT{left_ + MulDiv(x, side_, 16), top_ + MulDiv(y, side_, 16)};
    }
    int Stroke(int sixteenths) const { return std::max(1, MulDiv(sixteenths, side_, 16)); }

private:
    int side_;
    int left_;
    int top_;
};

// Selects a pen and a brush for the lifetime of the object.
class Paint {
public:
    Paint(HDC dc, COLORREF line, int width, COLORREF fill, bool filled = true)
        : dc_(dc),
          pen_(CreatePen(PS_SOLID, width, line)),
          brush_(filled ? CreateSolidBrush(fill) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))),
          ownsBrush_(filled),
          oldPen_(SelectObject(dc, pen_)),
          oldBrush_(SelectObject(dc, brush_)) {}
    ~Paint() {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        DeleteObject(pen_);
        if (ownsBrush_) DeleteObject(brush_);
    }
    Paint(const Paint&) = delete;
    Paint& operator=(const Paint&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    bool ownsBrush_;
    HGDIOBJ oldPen_;
    HGDIOBJ oldBrush_;
};

struct DesignPoint {
    int x;
    int y;
};

void Shape(HDC dc, const DesignGrid& grid, std::initializer_list<DesignPoint> design,
           bool closed) {
    std::vector<POINT> points;
    for (const auto& p : design) points.push_back(grid.At(p.x, p.y));
    if (closed) {
        Polygon(dc, points.data(), static_cast<int>(points.size()));
    } else {
        Polyline(dc, points.data(), static_cast<int>(points.size()));
    }
}

void Box(HDC dc, const DesignGrid& grid, int left, int top, int right, int bottom) {
    const POINT a = grid.At(left, top);
    const POINT b = grid.At(right, bottom);
    Rectangle(dc, a.x, a.y, b.x, b.y);
}

void DrawCheckMark(HDC dc, const DesignGrid& grid) {
    Paint paint(dc, RGB(0, 140, 40), grid.Stroke(3), 0, false);
    Shape(dc, grid, {{2, 9}, {6, 13}, {14, 3}}, false);
}

void DrawCross(HDC dc, const DesignGrid& grid) {
    Paint paint(dc, RGB(210, 20, 20), grid.Stroke(3), 0, false);
    Shape(dc, grid, {{3, 3}, {13, 13}}, false);
    Shape(dc, grid, {{13, 3}, {3, 13}}, false);
}

void DrawDisk(HDC dc, const DesignGrid& grid) {
    {
        Paint body(dc, RGB(20, 30, 80), 1, RGB(45, 70, 150));
        Shape(dc, grid, {{1, 1}, {13, 1}, {15, 3}, {15, 15}, {1, 15}}, true);
    }
    {
        Paint shutter(dc, RGB(90, 90, 100), 1, RGB(205, 208, 215));
        Box(dc, grid, 4, 1, 12, 6);
    }
    {
        Paint slot(dc, RGB(45, 70, 150), 1, RGB(45, 70, 150));
        Box(dc, grid, 9, 2, 11, 5);
    }
    Paint label(dc, RGB(150, 150, 160), 1, RGB(255, 255, 255));
    Box(dc, grid, 3, 9, 13, 15);
}

void DrawOpenFolder(HDC dc, const DesignGrid& grid) {
    {
        Paint back(dc, RGB(140, 95, 10), 1, RGB(215, 160, 40));
        Shape(dc, grid, {{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 14}, {1, 14}}, true);
    }
    Paint front(dc, RGB(140, 95, 10), 1, RGB(250, 215, 90));
    Shape(dc, grid, {{1, 14}, {4, 8}, {16, 8}, {13, 14}}, true);
}

}  // namespace

void DrawPictureButton(const DRAWITEMSTRUCT& item, ButtonPicture picture) {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    const DesignGrid grid(item.rcItem, pressed ? 1 : 0);
    switch (picture) {
        case ButtonPicture::CheckMark: DrawCheckMark(dc, grid); break;
        case ButtonPicture::Cross: DrawCross(dc, grid); break;
        case ButtonPicture::Disk: DrawDisk(dc, grid); break;
        case ButtonPicture::OpenFolder: DrawOpenFolder(dc, grid); break;
    }

    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace korvid::platform
