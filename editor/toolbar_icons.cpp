// The icons, painted on a 16-unit grid at 16 and 32 pixels.
#include "editor/toolbar_icons.h"

#include <functional>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "editor/editor_ids.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/vector_icon_painter.h"
#include "platform/ui/view_base.h"

namespace {

using Painter = std::function<void(QPainter&)>;

const QColor kInk(60, 60, 70);
const QColor kPaper(250, 250, 245);
const QColor kBlue(40, 100, 190);
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
    p.drawLine(QPointF(rc.right() - 3, rc.top()), QPointF(rc.right() - 3, rc.top() + 3));
    p.drawLine(QPointF(rc.right() - 3, rc.top() + 3), QPointF(rc.right(), rc.top() + 3));
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
    p.setBrush(QColor(200, 225, 250, 200));
    p.drawEllipse(centre, r, r);
}

void Printer(QPainter& p) {
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(170, 170, 180));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(QPen(QColor(60, 170, 60), 1));
    p.drawPoint(QPointF(12.5, 8.5));
}

}  // namespace

platform::VectorIcon TabulonIconDrawing() {
    // A sheet of records under its header row, and the pencil that edits it.
    const platform::IconColor ink{60, 60, 70}, paper{250, 250, 245}, blue{40, 100, 190}, rule{150, 150, 165};
    const platform::IconColor body{240, 180, 40}, wood{235, 205, 150}, eraser{215, 105, 105};
    platform::VectorIcon icon;
    icon.Rect(1.5, 2.5, 13, 11, &paper, &ink, 0.8)
        .Rect(1.9, 2.9, 12.2, 2.6, &blue, nullptr)
        .Line(1.9, 8, 14.1, 8, rule, 0.7)
        .Line(1.9, 10.75, 14.1, 10.75, rule, 0.7)
        .Line(5.5, 5.5, 5.5, 13.1, rule, 0.7)
        .Line(10, 5.5, 10, 13.1, rule, 0.7)
        .Polygon({13.1, 6.4, 15.3, 8.6, 10.3, 13.6, 8.1, 11.4}, &body, &ink, 0.6)
        .Polygon({13.1, 6.4, 15.3, 8.6, 15.9, 8.0, 13.7, 5.8}, &eraser, &ink, 0.6)
        .Polygon({10.3, 13.6, 8.1, 11.4, 7.2, 14.5}, &wood, &ink, 0.6)
        .Polygon({7.75, 12.95, 8.75, 13.95, 7.2, 14.5}, &ink, nullptr);
    return icon;
}

QIcon TabulonIcon() {
    static const QIcon s_icon = platform::VectorIconToQIcon(TabulonIconDrawing());
    return s_icon;
}

QIcon ToolbarIcon(unsigned nId) {
    using namespace platform;
    switch (nId) {
    case ID_FILE_NEW:
        return Paint([](QPainter& p) {
            Page(p, QRectF(3.5, 1.5, 9, 13));
            p.setPen(QPen(QColor(230, 170, 20), 1.2));
            p.drawLine(QPointF(11, 9), QPointF(15, 13));
            p.drawLine(QPointF(15, 9), QPointF(11, 13));
        });
    case ID_FILE_OPEN:
        return Paint([](QPainter& p) {
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(kFolder.darker(115));
            p.drawRect(QRectF(1.5, 3.5, 11, 10));
            p.setBrush(kFolder);
            QPolygonF front({QPointF(1.5, 13.5), QPointF(4.5, 6.5), QPointF(15.0, 6.5), QPointF(12.5, 13.5)});
            p.drawPolygon(front);
        });
    case ID_FILE_SAVE:
        return Paint([](QPainter& p) {
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(200, 200, 210));
            p.drawRect(QRectF(3.5, 9.5, 9, 5));
        });
    case ID_FILE_PRINT_PREVIEW:
        return Paint([](QPainter& p) {
            Page(p, QRectF(1.5, 1.5, 10, 13));
            TextLines(p, QRectF(3, 4, 6, 0), 4);
            Magnifier(p, QPointF(9.5, 9.0), 3.0);
        });
    case ID_FILE_PRINT:
        return Paint(&Printer);
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
    case ID_EDIT_FIND:
        return Paint([](QPainter& p) { Magnifier(p, QPointF(6.5, 6.5), 4.5); });
    case ID_VIEW_FILTER:
        return Paint([](QPainter& p) {
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(kBlue.lighter(150));
            QPolygonF funnel({QPointF(1.5, 2.5), QPointF(14.5, 2.5), QPointF(9.5, 8.5), QPointF(9.5, 14.0),
                              QPointF(6.5, 12.5), QPointF(6.5, 8.5)});
            p.drawPolygon(funnel);
        });
    case ID_EDIT_CUT:
        return Paint([](QPainter& p) {
            p.setPen(QPen(kInk, 1.1));
            p.drawLine(QPointF(5, 1.5), QPointF(10.5, 10));
            p.drawLine(QPointF(11, 1.5), QPointF(5.5, 10));
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(190, 40, 40), 1.2));
            p.drawEllipse(QPointF(4.5, 12), 2.2, 2.2);
            p.drawEllipse(QPointF(11.5, 12), 2.2, 2.2);
        });
    case ID_EDIT_COPY:
        return Paint([](QPainter& p) {
            Page(p, QRectF(1.5, 1.5, 8, 10));
            Page(p, QRectF(6.5, 4.5, 8, 10));
            TextLines(p, QRectF(8, 8, 4.5, 0), 3);
        });
    case ID_EDIT_PASTE:
        return Paint([](QPainter& p) {
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(QColor(190, 140, 80));
            p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
            p.setBrush(QColor(170, 170, 180));
            p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
            Page(p, QRectF(7.5, 6.5, 7, 8));
        });
    default:
        return QIcon();
    }
}
