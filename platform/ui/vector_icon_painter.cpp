// Painting icon drawings with the same geometry the SVG writer gives them.
#include "platform/ui/vector_icon_painter.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace platform {

namespace {

QColor ToQColor(const IconColor& c) { return QColor(c.r, c.g, c.b, c.a); }

}  // namespace

void PaintVectorIcon(QPainter& painter, const VectorIcon& icon, int nPixels) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    double dScale = icon.dUnits > 0 ? nPixels / icon.dUnits : 1;
    painter.scale(dScale, dScale);
    for (const IconShape& shape : icon.shapes) {
        // SVG's defaults: butt ends, mitred corners with a limit of 4.
        QPen pen = Qt::NoPen;
        if (shape.bStroke) {
            pen = QPen(ToQColor(shape.stroke), shape.dStrokeWidth, Qt::SolidLine,
                       shape.bRoundCap ? Qt::RoundCap : Qt::FlatCap, Qt::MiterJoin);
            pen.setMiterLimit(4);
        }
        painter.setPen(pen);
        painter.setBrush(shape.bFill ? QBrush(ToQColor(shape.fill)) : QBrush(Qt::NoBrush));
        const std::vector<double>& c = shape.coords;
        switch (shape.kind) {
        case IconShape::Kind::rect:
            if (c.size() >= 4)
                painter.drawRect(QRectF(c[0], c[1], c[2], c[3]));
            break;
        case IconShape::Kind::roundedRect:
            if (c.size() >= 5)
                painter.drawRoundedRect(QRectF(c[0], c[1], c[2], c[3]), c[4], c[4]);
            break;
        case IconShape::Kind::ellipse:
            if (c.size() >= 4)
                painter.drawEllipse(QPointF(c[0], c[1]), c[2], c[3]);
            break;
        case IconShape::Kind::line:
            if (c.size() >= 4)
                painter.drawLine(QPointF(c[0], c[1]), QPointF(c[2], c[3]));
            break;
        case IconShape::Kind::polygon: {
            QPolygonF polygon;
            for (size_t i = 0; i + 1 < c.size(); i += 2)
                polygon << QPointF(c[i], c[i + 1]);
            if (polygon.size() >= 3)
                painter.drawPolygon(polygon);
            break;
        }
        }
    }
    painter.restore();
}

QImage RenderVectorIcon(const VectorIcon& icon, int nPixels) {
    QImage image(nPixels, nPixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PaintVectorIcon(painter, icon, nPixels);
    painter.end();
    return image;
}

QIcon VectorIconToQIcon(const VectorIcon& icon) {
    QIcon qicon;
    for (int nSize : kIconSizes)
        qicon.addPixmap(QPixmap::fromImage(RenderVectorIcon(icon, nSize)));
    return qicon;
}

}  // namespace platform
