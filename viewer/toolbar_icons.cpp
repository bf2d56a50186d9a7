// The icons, painted on a 16-unit grid at several sizes.
#include "viewer/toolbar_icons.h"

#include <functional>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "platform/ui/command_ids.h"
#include "platform/ui/vector_icon_painter.h"
#include "platform/ui/view_base.h"
#include "viewer/ui/peekrow_icon.h"
#include "viewer/viewer_ids.h"

namespace {

using Painter = std::function<void(QPainter&)>;

const QColor kInk(60, 60, 70);
const QColor kPaper(250, 250, 245);
const QColor kTeal(20, 130, 140);
const QColor kFolder(230, 180, 70);

QIcon Paint(const Painter& paint) {
    QIcon icon;
    for (int nSize : {16, 24, 32, 48}) {
        QPixmap pixmap(nSize, nSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(nSize / 16.0, nSize / 16.0);
        paint(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

void Page(QPainter& p, QRectF rc) {
    QPainterPath path;
    path.moveTo(rc.left(), rc.top());
    path.lineTo(rc.right() - 3, rc.top());
    path.lineTo(rc.right(), rc.top() + 3);
    path.lineTo(rc.right(), rc.bottom());
    path.lineTo(rc.left(), rc.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void TextLines(QPainter& p, QRectF rc, int nLines, QColor clr = QColor(120, 120, 140)) {
    p.setPen(QPen(clr, 0.9));
    for (int i = 0; i < nLines; ++i)
        p.drawLine(QPointF(rc.left(), rc.top() + i * 2.0), QPointF(rc.right(), rc.top() + i * 2.0));
}

void Magnifier(QPainter& p, QPointF centre, double r) {
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(r * 0.7, r * 0.7), centre + QPointF(r * 1.9, r * 1.9));
    p.setPen(QPen(kInk, 1.1));
    p.setBrush(QColor(200, 235, 235, 200));
    p.drawEllipse(centre, r, r);
}

}  // namespace

QIcon PeekrowIcon() {
    // The drawing the desktop's icon files are rendered from.
    static const QIcon s_icon = platform::VectorIconToQIcon(PeekrowIconDrawing());
    return s_icon;
}

QIcon ToolbarIcon(unsigned nId) {
    using namespace platform;
    switch (nId) {
    case ID_FILE_OPEN:
        return Paint([](QPainter& p) {
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(kFolder.darker(115));
            p.drawRect(QRectF(1.5, 3.5, 11, 10));
            p.setBrush(kFolder);
            QPolygonF front({QPointF(1.5, 13.5), QPointF(4.5, 6.5), QPointF(15.0, 6.5), QPointF(12.5, 13.5)});
            p.drawPolygon(front);
        });
    case ID_EDIT_COPY:
        return Paint([](QPainter& p) {
            Page(p, QRectF(1.5, 1.5, 8, 10));
            Page(p, QRectF(6.5, 4.5, 8, 10));
            TextLines(p, QRectF(8, 8, 4.5, 0), 3);
        });
    case ID_EDIT_FIND:
        return Paint([](QPainter& p) { Magnifier(p, QPointF(6.5, 6.5), 4.5); });
    case ID_VIEW_CODEPAGE_DOS:
        return Paint([](QPainter& p) {
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(QColor(30, 30, 40));
            p.drawRoundedRect(QRectF(1.5, 2.5, 13, 9), 1, 1);
            p.setBrush(QColor(170, 170, 180));
            p.drawRect(QRectF(5.5, 12.5, 5, 2));
            TextLines(p, QRectF(3.5, 5, 6, 0), 3, QColor(90, 220, 90));
            p.fillRect(QRectF(10.5, 8.4, 2, 1.2), QColor(90, 220, 90));
        });
    case ID_FILE_PRINT_PREVIEW:
        return Paint([](QPainter& p) {
            Page(p, QRectF(1.5, 1.5, 10, 13));
            TextLines(p, QRectF(3, 4, 6, 0), 4);
            Magnifier(p, QPointF(9.5, 9.0), 3.0);
        });
    case ID_FILE_PRINT:
        return Paint([](QPainter& p) {
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(170, 170, 180));
            p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
            p.setPen(QPen(QColor(60, 170, 60), 1));
            p.drawPoint(QPointF(12.5, 8.5));
        });
    case ID_APP_ABOUT:
        return Paint([](QPainter& p) {
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(kTeal);
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 7.2), QPointF(8, 11.8));
            p.drawPoint(QPointF(8, 4.6));
        });
    default:
        return QIcon();
    }
}
