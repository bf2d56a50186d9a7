// A program icon as a drawing: a few filled and stroked shapes on a square
// grid of units. The same drawing becomes the window icon (painted by the
// user-interface layer) and the icon files a desktop installs (SVG written
// here, PNGs rendered from the same shapes), so they can never differ.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct IconColor {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct IconShape {
    enum class Kind { rect, roundedRect, ellipse, line, polygon };
    Kind kind = Kind::rect;
    // rect: x, y, width, height; roundedRect: the same and the corner radius;
    // ellipse: centre x, centre y, radius x, radius y; line: x1, y1, x2, y2;
    // polygon: x, y of each corner.
    std::vector<double> coords;
    bool bFill = false;
    IconColor fill;
    bool bStroke = false;
    IconColor stroke;
    double dStrokeWidth = 1;
    bool bRoundCap = false;
};

struct VectorIcon {
    double dUnits = 16;  // the drawing spans 0..dUnits both ways
    std::vector<IconShape> shapes;

    VectorIcon& Rect(double x, double y, double w, double h, const IconColor* pFill, const IconColor* pStroke,
                     double dWidth = 1);
    VectorIcon& RoundedRect(double x, double y, double w, double h, double r, const IconColor* pFill,
                            const IconColor* pStroke, double dWidth = 1);
    VectorIcon& Ellipse(double cx, double cy, double rx, double ry, const IconColor* pFill, const IconColor* pStroke,
                        double dWidth = 1);
    VectorIcon& Line(double x1, double y1, double x2, double y2, const IconColor& stroke, double dWidth = 1,
                     bool bRoundCap = false);
    VectorIcon& Polygon(std::vector<double> corners, const IconColor* pFill, const IconColor* pStroke,
                        double dWidth = 1);
};

// The drawing as a standalone SVG document of nPixels square.
std::string ToSvg(const VectorIcon& icon, int nPixels);

}  // namespace platform
