// Building icon drawings and writing them as SVG.
#include "platform/core/vector_icon.h"

#include <cstdio>

namespace platform {

namespace {

IconShape Shape(IconShape::Kind kind, std::vector<double> coords, const IconColor* pFill, const IconColor* pStroke,
                double dWidth) {
    IconShape shape;
    shape.kind = kind;
    shape.coords = std::move(coords);
    shape.bFill = pFill != nullptr;
    if (pFill)
        shape.fill = *pFill;
    shape.bStroke = pStroke != nullptr;
    if (pStroke)
        shape.stroke = *pStroke;
    shape.dStrokeWidth = dWidth;
    return shape;
}

// Numbers as short as they can be without losing what the drawing says.
std::string Num(double d) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "%.4g", d);
    return sz;
}

std::string Colour(const IconColor& c) {
    char sz[8];
    std::snprintf(sz, sizeof sz, "#%02x%02x%02x", c.r, c.g, c.b);
    return sz;
}

std::string Paint(const IconShape& shape) {
    std::string str = " fill=\"" + (shape.bFill ? Colour(shape.fill) : std::string("none")) + "\"";
    if (shape.bFill && shape.fill.a != 255)
        str += " fill-opacity=\"" + Num(shape.fill.a / 255.0) + "\"";
    if (shape.bStroke) {
        str += " stroke=\"" + Colour(shape.stroke) + "\" stroke-width=\"" + Num(shape.dStrokeWidth) + "\"";
        if (shape.stroke.a != 255)
            str += " stroke-opacity=\"" + Num(shape.stroke.a / 255.0) + "\"";
        if (shape.bRoundCap)
            str += " stroke-linecap=\"round\"";
    }
    return str;
}

}  // namespace

VectorIcon& VectorIcon::Rect(double x, double y, double w, double h, const IconColor* pFill, const IconColor* pStroke,
                             double dWidth) {
    shapes.push_back(Shape(IconShape::Kind::rect, {x, y, w, h}, pFill, pStroke, dWidth));
    return *this;
}

VectorIcon& VectorIcon::RoundedRect(double x, double y, double w, double h, double r, const IconColor* pFill,
                                    const IconColor* pStroke, double dWidth) {
    shapes.push_back(Shape(IconShape::Kind::roundedRect, {x, y, w, h, r}, pFill, pStroke, dWidth));
    return *this;
}

VectorIcon& VectorIcon::Ellipse(double cx, double cy, double rx, double ry, const IconColor* pFill,
                                const IconColor* pStroke, double dWidth) {
    shapes.push_back(Shape(IconShape::Kind::ellipse, {cx, cy, rx, ry}, pFill, pStroke, dWidth));
    return *this;
}

VectorIcon& VectorIcon::Line(double x1, double y1, double x2, double y2, const IconColor& stroke, double dWidth,
                             bool bRoundCap) {
    IconShape shape = Shape(IconShape::Kind::line, {x1, y1, x2, y2}, nullptr, &stroke, dWidth);
    shape.bRoundCap = bRoundCap;
    shapes.push_back(std::move(shape));
    return *this;
}

VectorIcon& VectorIcon::Polygon(std::vector<double> corners, const IconColor* pFill, const IconColor* pStroke,
                                double dWidth) {
    shapes.push_back(Shape(IconShape::Kind::polygon, std::move(corners), pFill, pStroke, dWidth));
    return *this;
}

std::string ToSvg(const VectorIcon& icon, int nPixels) {
    std::string str = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    str += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(nPixels) + "\" height=\"" +
           std::to_string(nPixels) + "\" viewBox=\"0 0 " + Num(icon.dUnits) + " " + Num(icon.dUnits) + "\">\n";
    for (const IconShape& shape : icon.shapes) {
        const std::vector<double>& c = shape.coords;
        switch (shape.kind) {
        case IconShape::Kind::rect:
            if (c.size() < 4)
                continue;
            str += "  <rect x=\"" + Num(c[0]) + "\" y=\"" + Num(c[1]) + "\" width=\"" + Num(c[2]) + "\" height=\"" +
                   Num(c[3]) + "\"";
            break;
        case IconShape::Kind::roundedRect:
            if (c.size() < 5)
                continue;
            str += "  <rect x=\"" + Num(c[0]) + "\" y=\"" + Num(c[1]) + "\" width=\"" + Num(c[2]) + "\" height=\"" +
                   Num(c[3]) + "\" rx=\"" + Num(c[4]) + "\"";
            break;
        case IconShape::Kind::ellipse:
            if (c.size() < 4)
                continue;
            str += "  <ellipse cx=\"" + Num(c[0]) + "\" cy=\"" + Num(c[1]) + "\" rx=\"" + Num(c[2]) + "\" ry=\"" +
                   Num(c[3]) + "\"";
            break;
        case IconShape::Kind::line:
            if (c.size() < 4)
                continue;
            str += "  <line x1=\"" + Num(c[0]) + "\" y1=\"" + Num(c[1]) + "\" x2=\"" + Num(c[2]) + "\" y2=\"" +
                   Num(c[3]) + "\"";
            break;
        case IconShape::Kind::polygon: {
            if (c.size() < 6)
                continue;
            str += "  <polygon points=\"";
            for (size_t i = 0; i + 1 < c.size(); i += 2)
                str += (i ? " " : "") + Num(c[i]) + "," + Num(c[i + 1]);
            str += "\"";
            break;
        }
        }
        str += Paint(shape) + "/>\n";
    }
    str += "</svg>\n";
    return str;
}

}  // namespace platform
