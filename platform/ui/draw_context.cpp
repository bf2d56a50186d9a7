// The draw context over QPainter. Lines and outlines are filled rectangles so
// that every pixel lands where the grid's layout rules say, whatever the pen
// rendering of the paint engine; frame controls come from the application's
// QStyle so cells look like the rest of the desktop.
#include "platform/ui/draw_context.h"

#include <cmath>
#include <map>
#include <tuple>
#include <cstdlib>
#include <vector>

#include <QApplication>
#include <QtMath>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QIcon>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOption>

#include "platform/ui/font_glyphs.h"
#include "platform/ui/system_metrics.h"
#include "platform/ui/text_codec.h"

namespace platform {

namespace {

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QRect ToQRect(const Rect& rc) { return QRect(rc.left, rc.top, rc.Width(), rc.Height()); }

QStyle* AppStyle() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    return QApplication::style();
}

constexpr unsigned kEllipsisFlags = DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS;

}  // namespace

QString DecodeText(std::string_view text, const CharTable* pTable) {
    const CharTable& table = pTable ? *pTable : Windows1252CharTable();
    QString str(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* pOut = str.data();
    for (size_t i = 0; i < text.size(); ++i)
        pOut[i] = QChar(table[static_cast<unsigned char>(text[i])]);
    return str;
}

CDrawContext::CDrawContext(QPainter& painter, const Rect& rcClipBox)
    : m_pPainter(&painter), m_pCharTable(&Windows1252CharTable()) {
    Init(rcClipBox, false);
}

CDrawContext::CDrawContext(QPainter& painter, const Rect& rcClipBox, bool bPainterClipped)
    : m_pPainter(&painter), m_pCharTable(&Windows1252CharTable()) {
    Init(rcClipBox, bPainterClipped);
}

CDrawContext::CDrawContext(QImage& image)
    : m_pOwnPainter(std::make_unique<QPainter>(&image)), m_pCharTable(&Windows1252CharTable()) {
    m_pPainter = m_pOwnPainter.get();
    // The whole image: the device's own edges are the clip.
    Init(Rect{0, 0, image.width(), image.height()}, true);
}

CDrawContext::~CDrawContext() = default;

void CDrawContext::Init(const Rect& rcClipBox, bool bPainterClipped) {
    m_pFont = &m_fontDefault;
    m_pPainter->setRenderHint(QPainter::Antialiasing, false);
    m_pPainter->setWorldTransform(QTransform());
    m_rcBaseDevice = rcClipBox;
    m_rcClipDevice = rcClipBox;
    m_bBaseClipped = bPainterClipped;
    // A clip costs time on every fill; set none when the painter keeps to the
    // area already.
    if (!m_bBaseClipped)
        ApplyClip();
}

// --- text state -------------------------------------------------------------

const CFont* CDrawContext::SelectFont(const CFont* pFont) {
    const CFont* pOld = m_pFont;
    if (pFont)
        m_pFont = pFont;
    return pOld;
}

Color CDrawContext::SetTextColor(Color clr) {
    Color old = m_clrText;
    m_clrText = clr;
    return old;
}

Color CDrawContext::SetBkColor(Color clr) {
    Color old = m_clrBk;
    m_clrBk = clr;
    return old;
}

int CDrawContext::SetBkMode(int nMode) {
    int old = m_nBkMode;
    if (nMode == TRANSPARENT || nMode == OPAQUE)
        m_nBkMode = nMode;
    return old;
}

unsigned CDrawContext::SetTextAlign(unsigned nAlign) {
    unsigned old = m_nTextAlign;
    m_nTextAlign = nAlign;
    return old;
}

void CDrawContext::UsePainterFont() {
    if (m_pPainterFont == m_pFont && m_nPainterFontGeneration == m_pFont->GetGeneration())
        return;
    m_pPainter->setFont(m_pFont->GetQFont());
    m_pPainterFont = m_pFont;
    m_nPainterFontGeneration = m_pFont->GetGeneration();
}

void CDrawContext::UsePainterTextPen() {
    if (m_clrPainterPen == m_clrText)
        return;
    m_pPainter->setPen(ToQColor(m_clrText));
    m_clrPainterPen = m_clrText;
}

// --- lines and shapes -------------------------------------------------------

void CDrawContext::SelectPen(Color clr, int nWidth, int nStyle) {
    m_clrPen = clr;
    m_nPenWidth = nWidth < 1 ? 1 : nWidth;
    m_nPenStyle = nStyle;
}

void CDrawContext::MoveTo(int x, int y) { m_ptCurrent = Point{x, y}; }

void CDrawContext::LineTo(int x, int y) {
    PlotLine(m_ptCurrent.x, m_ptCurrent.y, x, y);
    m_ptCurrent = Point{x, y};
}

void CDrawContext::FillDevice(int x, int y, int cx, int cy, Color clr) {
    if (cx <= 0 || cy <= 0)
        return;
    m_pPainter->fillRect(QRect(x, y, cx, cy), ToQColor(clr));
}

void CDrawContext::PlotLine(int x0, int y0, int x1, int y1) {
    if (m_nPenStyle == PS_NULL)
        return;
    if (m_nPenWidth > 1 || m_nPenStyle != PS_SOLID) {
        QPen pen(ToQColor(m_clrPen));
        pen.setWidth(m_nPenWidth);
        pen.setStyle(m_nPenStyle == PS_DOT ? Qt::DotLine : Qt::SolidLine);
        pen.setCapStyle(Qt::FlatCap);
        m_pPainter->setPen(pen);
        m_pPainter->drawLine(QPoint(x0, y0), QPoint(x1, y1));
        m_clrPainterPen = 0xFFFFFFFFu;
        return;
    }
    // A one-pixel pen paints the start point and stops short of the end point.
    if (y0 == y1) {
        if (x1 > x0)
            FillDevice(x0, y0, x1 - x0, 1, m_clrPen);
        else if (x1 < x0)
            FillDevice(x1 + 1, y0, x0 - x1, 1, m_clrPen);
        return;
    }
    if (x0 == x1) {
        if (y1 > y0)
            FillDevice(x0, y0, 1, y1 - y0, m_clrPen);
        else
            FillDevice(x0, y1 + 1, 1, y0 - y1, m_clrPen);
        return;
    }
    // Diagonals (sort arrows) are short: plot them with Bresenham's walk.
    std::vector<QPoint> points;
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    while (!(x == x1 && y == y1)) {
        points.emplace_back(x, y);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    for (const QPoint& pt : points)
        FillDevice(pt.x(), pt.y(), 1, 1, m_clrPen);
}

void CDrawContext::FillSolidRect(const Rect& rc, Color clr) { FillDevice(rc.left, rc.top, rc.Width(), rc.Height(), clr); }

void CDrawContext::FrameRect(const Rect& rc, Color clr) {
    if (rc.IsEmpty())
        return;
    FillDevice(rc.left, rc.top, rc.Width(), 1, clr);
    FillDevice(rc.left, rc.bottom - 1, rc.Width(), 1, clr);
    FillDevice(rc.left, rc.top + 1, 1, rc.Height() - 2, clr);
    FillDevice(rc.right - 1, rc.top + 1, 1, rc.Height() - 2, clr);
}

void CDrawContext::Draw3dRect(const Rect& rc, Color clrTopLeft, Color clrBottomRight) {
    int cx = rc.Width(), cy = rc.Height();
    if (cx <= 0 || cy <= 0)
        return;
    FillDevice(rc.left, rc.top, cx - 1, 1, clrTopLeft);
    FillDevice(rc.left, rc.top, 1, cy - 1, clrTopLeft);
    FillDevice(rc.right - 1, rc.top, 1, cy, clrBottomRight);
    FillDevice(rc.left, rc.bottom - 1, cx, 1, clrBottomRight);
}

bool CDrawContext::DrawEdge(Rect& rc, unsigned nEdge, unsigned nFlags) {
    // Each border is one pixel: the outer one first, then the inner one.
    struct Ring {
        unsigned nRaised, nSunken;
        int nRaisedTL, nRaisedBR, nSunkenTL, nSunkenBR;
    };
    const Ring rings[2] = {
        {BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT},
        {BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
    };
    Rect r = rc;
    for (const Ring& ring : rings) {
        int nTL = -1, nBR = -1;
        if (nEdge & ring.nRaised) {
            nTL = ring.nRaisedTL;
            nBR = ring.nRaisedBR;
        } else if (nEdge & ring.nSunken) {
            nTL = ring.nSunkenTL;
            nBR = ring.nSunkenBR;
        }
        if (nTL < 0)
            continue;
        if (nFlags & BF_FLAT) {
            nTL = COLOR_BTNSHADOW;
            nBR = COLOR_BTNSHADOW;
        }
        if (nFlags & BF_MONO) {
            nTL = COLOR_WINDOWFRAME;
            nBR = COLOR_WINDOWFRAME;
        }
        Color tl = GetSysColor(nTL), br = GetSysColor(nBR);
        if (r.IsEmpty())
            break;
        if (nFlags & BF_TOP)
            FillDevice(r.left, r.top, r.Width(), 1, tl);
        if (nFlags & BF_LEFT)
            FillDevice(r.left, r.top, 1, r.Height(), tl);
        if (nFlags & BF_BOTTOM)
            FillDevice(r.left, r.bottom - 1, r.Width(), 1, br);
        if (nFlags & BF_RIGHT)
            FillDevice(r.right - 1, r.top, 1, r.Height(), br);
        r.Deflate((nFlags & BF_LEFT) ? 1 : 0, (nFlags & BF_TOP) ? 1 : 0, (nFlags & BF_RIGHT) ? 1 : 0,
                  (nFlags & BF_BOTTOM) ? 1 : 0);
    }
    if ((nFlags & BF_MIDDLE) && !r.IsEmpty())
        FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
    if (nFlags & BF_ADJUST)
        rc = r;
    return true;
}

void CDrawContext::FillPolygon(const Point* pPoints, int nCount, Color clr) {
    if (!pPoints || nCount < 3)
        return;
    QPolygon polygon;
    for (int i = 0; i < nCount; ++i)
        polygon << QPoint(pPoints[i].x, pPoints[i].y);
    m_pPainter->save();
    m_pPainter->setPen(ToQColor(clr));
    m_pPainter->setBrush(ToQColor(clr));
    m_pPainter->drawPolygon(polygon);
    m_pPainter->restore();
}

void CDrawContext::InvertRect(const Rect& rc) {
    if (rc.IsEmpty())
        return;
    // Inversion is a raster operation; a printer has no pixels to invert.
    QPaintEngine* pEngine = m_pPainter->paintEngine();
    if (!pEngine || pEngine->type() != QPaintEngine::Raster)
        return;
    QPainter::CompositionMode old = m_pPainter->compositionMode();
    m_pPainter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    m_pPainter->fillRect(ToQRect(rc), Qt::white);
    m_pPainter->setCompositionMode(old);
}

void CDrawContext::DrawFocusRect(const Rect& rc) {
    if (rc.IsEmpty())
        return;
    FrameRect(rc, m_clrBk);
    // Dots on every other pixel of a checkerboard, so that neighbouring
    // frames and the two directions of a frame line up.
    std::vector<QPoint> dots;
    auto add = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            dots.emplace_back(x, y);
    };
    for (int x = rc.left; x < rc.right; ++x) {
        add(x, rc.top);
        if (rc.bottom - 1 != rc.top)
            add(x, rc.bottom - 1);
    }
    for (int y = rc.top + 1; y < rc.bottom - 1; ++y) {
        add(rc.left, y);
        if (rc.right - 1 != rc.left)
            add(rc.right - 1, y);
    }
    QPen pen(ToQColor(m_clrText));
    pen.setWidth(0);
    m_pPainter->setPen(pen);
    m_pPainter->drawPoints(dots.data(), static_cast<int>(dots.size()));
    m_clrPainterPen = 0xFFFFFFFFu;
}

// --- frame controls ---------------------------------------------------------

namespace {

void PrepareOption(QStyleOption& opt, const QRect& r, unsigned nState) {
    opt.rect = r;
    opt.palette = QGuiApplication::palette();
    opt.state = QStyle::State_None;
    if (!(nState & DFCS_INACTIVE))
        opt.state |= QStyle::State_Enabled;
    else
        opt.palette.setCurrentColorGroup(QPalette::Disabled);
    if (nState & DFCS_HOT)
        opt.state |= QStyle::State_MouseOver;
    if (nState & DFCS_PUSHED)
        opt.state |= QStyle::State_Sunken;
    else
        opt.state |= QStyle::State_Raised;
}

void DrawButtonPanel(QPainter& painter, QStyle* pStyle, const QRect& r, unsigned nState) {
    QStyleOptionButton opt;
    PrepareOption(opt, r, nState);
    if (nState & DFCS_CHECKED)
        opt.state |= QStyle::State_On | QStyle::State_Sunken;
    if (nState & DFCS_FLAT)
        opt.features |= QStyleOptionButton::Flat;
    pStyle->drawPrimitive(QStyle::PE_PanelButtonBevel, &opt, &painter);
}

// A square glyph area centred in r, for arrows and icons on buttons.
QRect GlyphArea(const QRect& r, int nInset) {
    int side = std::max(0, std::min(r.width(), r.height()) - 2 * nInset);
    return QRect(r.left() + (r.width() - side) / 2, r.top() + (r.height() - side) / 2, side, side);
}

void DrawArrowButton(QPainter& painter, QStyle* pStyle, const QRect& r, unsigned nState, QStyle::PrimitiveElement arrow,
                     bool bPanel) {
    if (bPanel)
        DrawButtonPanel(painter, pStyle, r, nState);
    QStyleOption opt;
    PrepareOption(opt, GlyphArea(r, std::max(2, std::min(r.width(), r.height()) / 5)), nState);
    if (nState & DFCS_PUSHED)
        opt.rect.translate(1, 1);
    pStyle->drawPrimitive(arrow, &opt, &painter);
}

void DrawCaptionButton(QPainter& painter, QStyle* pStyle, const QRect& r, unsigned nState) {
    DrawButtonPanel(painter, pStyle, r, nState);
    QStyle::StandardPixmap pixmap = QStyle::SP_TitleBarCloseButton;
    switch (nState & 0xFF) {
    case DFCS_CAPTIONMIN:
        pixmap = QStyle::SP_TitleBarMinButton;
        break;
    case DFCS_CAPTIONMAX:
        pixmap = QStyle::SP_TitleBarMaxButton;
        break;
    case DFCS_CAPTIONRESTORE:
        pixmap = QStyle::SP_TitleBarNormalButton;
        break;
    case DFCS_CAPTIONHELP:
        pixmap = QStyle::SP_TitleBarContextHelpButton;
        break;
    default:
        break;
    }
    QRect glyph = GlyphArea(r, 2);
    if (glyph.isEmpty())
        return;
    QIcon icon = pStyle->standardIcon(pixmap);
    icon.paint(&painter, glyph, Qt::AlignCenter, (nState & DFCS_INACTIVE) ? QIcon::Disabled : QIcon::Normal);
}

void DrawCheckIndicator(QPainter& painter, QStyle* pStyle, const QRect& r, unsigned nState) {
    QStyleOptionButton opt;
    PrepareOption(opt, r, nState);
    opt.state &= ~QStyle::State_Raised;
    bool bChecked = (nState & DFCS_CHECKED) != 0;
    bool bRadio = (nState & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) != 0;
    if (bRadio) {
        opt.state |= bChecked ? QStyle::State_On : QStyle::State_Off;
        pStyle->drawPrimitive(QStyle::PE_IndicatorRadioButton, &opt, &painter);
        return;
    }
    // A checked three-state box is the indeterminate one.
    if (bChecked && (nState & DFCS_BUTTON3STATE))
        opt.state |= QStyle::State_NoChange;
    else
        opt.state |= bChecked ? QStyle::State_On : QStyle::State_Off;
    pStyle->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &painter);
}

void DrawMenuGlyph(QPainter& painter, QStyle* pStyle, const QRect& r, unsigned nState, Color clrText) {
    QStyleOption opt;
    PrepareOption(opt, r, nState);
    opt.state &= ~QStyle::State_Raised;
    opt.palette.setColor(QPalette::WindowText, ToQColor(clrText));
    opt.palette.setColor(QPalette::ButtonText, ToQColor(clrText));
    opt.palette.setColor(QPalette::Text, ToQColor(clrText));
    switch (nState & 0xFF) {
    case DFCS_MENUCHECK: {
        // A check mark is a glyph, not a themed control: styles draw it only
        // inside their own menus, so it is drawn here in the text colour.
        QRect box = GlyphArea(r, std::max(1, std::min(r.width(), r.height()) / 5));
        QPen pen(ToQColor(clrText), std::max(1.5, box.width() / 6.0));
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(pen);
        const QPointF points[3] = {QPointF(box.left(), box.top() + box.height() * 0.55),
                                   QPointF(box.left() + box.width() * 0.38, box.bottom() - box.height() * 0.1),
                                   QPointF(box.right(), box.top() + box.height() * 0.1)};
        painter.drawPolyline(points, 3);
        painter.restore();
        break;
    }
    case DFCS_MENUBULLET: {
        QRect dot = GlyphArea(r, std::max(1, std::min(r.width(), r.height()) / 3));
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQColor(clrText));
        painter.drawEllipse(dot);
        painter.restore();
        break;
    }
    default:
        opt.rect = GlyphArea(r, 2);
        pStyle->drawPrimitive(QStyle::PE_IndicatorArrowRight, &opt, &painter);
        break;
    }
}

void DrawSizeGrip(QPainter& painter, QStyle* pStyle, const QRect& r, unsigned nState) {
    QStyleOptionSizeGrip opt;
    PrepareOption(opt, r, nState);
    opt.corner = Qt::BottomRightCorner;
    pStyle->drawControl(QStyle::CE_SizeGrip, &opt, &painter);
}

void DrawStyledFrameControl(QPainter& painter, QStyle* pStyle, const QRect& r, unsigned nKind, unsigned nState,
                            Color clrText) {
    switch (nKind) {
    case DFC_BUTTON:
        if (nState & DFCS_BUTTONPUSH)
            DrawButtonPanel(painter, pStyle, r, nState);
        else
            DrawCheckIndicator(painter, pStyle, r, nState);
        break;
    case DFC_CAPTION:
        DrawCaptionButton(painter, pStyle, r, nState);
        break;
    case DFC_MENU:
    case DFC_POPUPMENU:
        DrawMenuGlyph(painter, pStyle, r, nState, clrText);
        break;
    case DFC_SCROLL:
        switch (nState & 0xFF) {
        case DFCS_SCROLLUP:
            DrawArrowButton(painter, pStyle, r, nState, QStyle::PE_IndicatorArrowUp, true);
            break;
        case DFCS_SCROLLDOWN:
            DrawArrowButton(painter, pStyle, r, nState, QStyle::PE_IndicatorArrowDown, true);
            break;
        case DFCS_SCROLLLEFT:
            DrawArrowButton(painter, pStyle, r, nState, QStyle::PE_IndicatorArrowLeft, true);
            break;
        case DFCS_SCROLLRIGHT:
            DrawArrowButton(painter, pStyle, r, nState, QStyle::PE_IndicatorArrowRight, true);
            break;
        case DFCS_SCROLLCOMBOBOX:
            DrawArrowButton(painter, pStyle, r, nState, QStyle::PE_IndicatorArrowDown, true);
            break;
        case DFCS_SCROLLSIZEGRIP:
        case DFCS_SCROLLSIZEGRIPRIGHT:
            DrawSizeGrip(painter, pStyle, r, nState);
            break;
        default:
            DrawButtonPanel(painter, pStyle, r, nState);
            break;
        }
        break;
    default:
        break;
    }
}

// Rendered frame controls by everything that changes their pixels. The
// palette's key and the style change with the desktop theme, so a new theme
// simply misses the cache.
struct FrameControlKey {
    const QStyle* pStyle;
    qint64 nPaletteKey;
    int cx, cy;
    unsigned nKind, nState;
    Color clrText;
    qreal fRatio;
    bool operator<(const FrameControlKey& o) const {
        return std::tie(pStyle, nPaletteKey, cx, cy, nKind, nState, clrText, fRatio) <
               std::tie(o.pStyle, o.nPaletteKey, o.cx, o.cy, o.nKind, o.nState, o.clrText, o.fRatio);
    }
};

const QImage& CachedFrameControl(QStyle* pStyle, QSize size, unsigned nKind, unsigned nState, Color clrText,
                                 qreal fRatio) {
    static std::map<FrameControlKey, QImage> s_cache;
    FrameControlKey key{pStyle, QGuiApplication::palette().cacheKey(), size.width(), size.height(), nKind, nState,
                        clrText, fRatio};
    auto it = s_cache.find(key);
    if (it != s_cache.end())
        return it->second;
    if (s_cache.size() >= 512)
        s_cache.clear();  // sizes come and go with column widths; start afresh
    QImage image(qCeil(size.width() * fRatio), qCeil(size.height() * fRatio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(fRatio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        DrawStyledFrameControl(painter, pStyle, QRect(QPoint(0, 0), size), nKind, nState, clrText);
    }
    return s_cache.emplace(key, std::move(image)).first->second;
}

}  // namespace

bool CDrawContext::DrawFrameControl(const Rect& rc, unsigned nKind, unsigned nState) {
    if (rc.IsEmpty())
        return false;
    QStyle* pStyle = AppStyle();
    QRect r = ToQRect(rc);
    if (!pStyle) {
        // Without a widget style (a bare GUI application) draw the classic shapes.
        Rect inner = rc;
        if (nKind == DFC_BUTTON && !(nState & DFCS_BUTTONPUSH)) {
            FillSolidRect(inner, GetSysColor(COLOR_WINDOW));
            DrawEdge(inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
            if (nState & DFCS_CHECKED) {
                inner.Deflate(2);
                FillSolidRect(inner, GetSysColor((nState & DFCS_BUTTON3STATE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
            }
            return true;
        }
        DrawEdge(inner, (nState & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
        return true;
    }
    if (nKind < DFC_CAPTION || nKind > DFC_POPUPMENU)
        return false;
    m_clrPainterPen = 0xFFFFFFFFu;  // styles change the painter's pen
    // On screen and offscreen images a control is drawn once per look and
    // size and then copied: styles draw gradients and curves, which would
    // otherwise cost more than all the text of a row.
    QPaintEngine* pEngine = m_pPainter->paintEngine();
    if (m_bIdentity && pEngine && pEngine->type() == QPaintEngine::Raster && r.width() <= 512 && r.height() <= 128) {
        qreal fRatio = m_pPainter->device() ? m_pPainter->device()->devicePixelRatioF() : 1.0;
        m_pPainter->drawImage(r.topLeft(), CachedFrameControl(pStyle, r.size(), nKind, nState, m_clrText, fRatio));
        return true;
    }
    m_pPainter->save();
    DrawStyledFrameControl(*m_pPainter, pStyle, r, nKind, nState, m_clrText);
    m_pPainter->restore();
    return true;
}

// --- text -------------------------------------------------------------------

// The width of single-byte text from the font's glyph table; false when a
// byte has no glyph of its own (the text is then laid out by Qt, which can
// take the glyph from another font).
bool CDrawContext::MeasureGlyphs(std::string_view text, int& nWidth) const {
    const FontGlyphs& glyphs = m_pFont->GetGlyphs(*m_pCharTable);
    if (!glyphs.bUsable)
        return false;
    qreal w = 0;
    for (char ch : text) {
        auto n = static_cast<unsigned char>(ch);
        if (glyphs.glyphs[n] == 0)
            return false;
        w += glyphs.advances[n];
    }
    nWidth = static_cast<int>(std::ceil(w - 0.001));
    return true;
}

// Single-line text without '&' processing or tabs, drawn as a run of glyphs
// looked up by byte: no shaping, which is what makes a screen of cells cheap.
bool CDrawContext::DrawTextFast(std::string_view text, Rect& rc, unsigned nFlags, int& nHeight) {
    if ((nFlags & (DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) != 0)
        return false;
    int w = 0;
    if (!MeasureGlyphs(text, w))
        return false;
    const FontGlyphs& glyphs = m_pFont->GetGlyphs(*m_pCharTable);
    const QFontMetrics& fm = m_pFont->GetQFontMetrics();
    int h = fm.height();
    if (nFlags & DT_CALCRECT) {
        rc.right = rc.left + w;
        rc.bottom = rc.top + h;
        nHeight = h;
        return true;
    }
    // How many bytes are drawn, and whether an ellipsis follows them.
    size_t nShown = text.size();
    bool bEllipsis = false;
    if ((nFlags & DT_END_ELLIPSIS) && w > rc.Width()) {
        if (glyphs.nEllipsisGlyph == 0)
            return false;
        qreal fRoom = rc.Width() - glyphs.fEllipsisAdvance, fUsed = 0;
        nShown = 0;
        while (nShown < text.size()) {
            qreal fNext = glyphs.advances[static_cast<unsigned char>(text[nShown])];
            if (fUsed + fNext > fRoom)
                break;
            fUsed += fNext;
            ++nShown;
        }
        bEllipsis = true;
        w = static_cast<int>(std::ceil(fUsed + glyphs.fEllipsisAdvance - 0.001));
    }
    int x = rc.left;
    if (nFlags & DT_CENTER)
        x = rc.left + (rc.Width() - w) / 2;
    else if (nFlags & DT_RIGHT)
        x = rc.right - w;
    int y = rc.top;
    if (nFlags & DT_VCENTER)
        y = rc.top + (rc.Height() - h) / 2;
    else if (nFlags & DT_BOTTOM)
        y = rc.bottom - h;
    nHeight = (nFlags & (DT_VCENTER | DT_BOTTOM)) ? y + h - rc.top : h;
    if (nShown == 0 && !bEllipsis)
        return true;

    if (m_nBkMode == OPAQUE) {
        Rect box{x, y, x + w, y + h};
        if (!(nFlags & DT_NOCLIP))
            box = box.Intersected(rc);
        FillSolidRect(box, m_clrBk);
    }
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(static_cast<qsizetype>(nShown) + 1);
    positions.reserve(static_cast<qsizetype>(nShown) + 1);
    qreal fPen = 0;
    for (size_t i = 0; i < nShown; ++i) {
        auto n = static_cast<unsigned char>(text[i]);
        indexes.append(glyphs.glyphs[n]);
        positions.append(QPointF(fPen, 0));
        fPen += glyphs.advances[n];
    }
    if (bEllipsis) {
        indexes.append(glyphs.nEllipsisGlyph);
        positions.append(QPointF(fPen, 0));
    }
    QGlyphRun run;
    run.setRawFont(glyphs.rawFont);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);

    bool bClip = !(nFlags & DT_NOCLIP) && (x < rc.left || x + w > rc.right || y < rc.top || y + h > rc.bottom);
    UsePainterTextPen();
    if (bClip) {
        m_pPainter->save();
        m_pPainter->setClipRect(ToQRect(rc), Qt::IntersectClip);
    }
    m_pPainter->drawGlyphRun(QPointF(x, y + fm.ascent()), run);
    if (bClip)
        m_pPainter->restore();
    return true;
}

int CDrawContext::DrawTextLaidOut(const QString& text, Rect& rc, unsigned nFlags) {
    const QFontMetrics& fm = m_pFont->GetQFontMetrics();
    int qtFlags = 0;
    if (nFlags & DT_CENTER)
        qtFlags |= Qt::AlignHCenter;
    else if (nFlags & DT_RIGHT)
        qtFlags |= Qt::AlignRight;
    else
        qtFlags |= Qt::AlignLeft;
    bool bSingle = (nFlags & DT_SINGLELINE) != 0;
    if (bSingle) {
        qtFlags |= Qt::TextSingleLine;
        if (nFlags & DT_VCENTER)
            qtFlags |= Qt::AlignVCenter;
        else if (nFlags & DT_BOTTOM)
            qtFlags |= Qt::AlignBottom;
        else
            qtFlags |= Qt::AlignTop;
    } else {
        // Vertical placement only applies to a single line.
        qtFlags |= Qt::AlignTop;
        if (nFlags & DT_WORDBREAK)
            qtFlags |= Qt::TextWordWrap;
    }
    if (nFlags & DT_EXPANDTABS)
        qtFlags |= Qt::TextExpandTabs;
    if (!(nFlags & DT_NOPREFIX))
        qtFlags |= (nFlags & DT_HIDEPREFIX) ? Qt::TextHideMnemonic : Qt::TextShowMnemonic;
    if (nFlags & DT_NOCLIP)
        qtFlags |= Qt::TextDontClip;

    QString shown = text;
    if ((nFlags & kEllipsisFlags) && !(nFlags & DT_WORDBREAK) && !(nFlags & DT_CALCRECT)) {
        Qt::TextElideMode mode = (nFlags & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight;
        int elideFlags = qtFlags & (Qt::TextShowMnemonic | Qt::TextHideMnemonic | Qt::TextExpandTabs);
        QStringList lines = bSingle ? QStringList{text} : text.split(QLatin1Char('\n'));
        for (QString& line : lines)
            line = fm.elidedText(line, mode, std::max(0, rc.Width()), elideFlags);
        shown = lines.join(QLatin1Char('\n'));
    }

    if (nFlags & DT_CALCRECT) {
        const int kHuge = 1 << 24;
        int nWrap = (nFlags & DT_WORDBREAK) ? std::max(1, rc.Width()) : kHuge;
        QRect br = fm.boundingRect(QRect(0, 0, nWrap, kHuge), qtFlags & ~(Qt::AlignVCenter | Qt::AlignBottom), shown);
        rc.right = rc.left + br.width();
        rc.bottom = rc.top + br.height();
        return br.height();
    }

    QRect target = ToQRect(rc);
    QRect bounds = fm.boundingRect(target, qtFlags, shown);
    if (m_nBkMode == OPAQUE) {
        QRect box = (nFlags & DT_NOCLIP) ? bounds : bounds.intersected(target);
        m_pPainter->fillRect(box, ToQColor(m_clrBk));
    }
    UsePainterFont();
    UsePainterTextPen();
    m_pPainter->drawText(target, qtFlags, shown);
    if (bSingle && (nFlags & (DT_VCENTER | DT_BOTTOM)))
        return bounds.bottom() + 1 - rc.top;
    return bounds.height();
}

void CDrawContext::SetTextCodec(const CTextCodec* pCodec) {
    SetCharTable(pCodec ? &pCodec->GetCharTable() : nullptr);
    m_pWholeText = pCodec && pCodec->IsWholeText() ? pCodec : nullptr;
}

QString CDrawContext::Decode(std::string_view text) const {
    return m_pWholeText ? m_pWholeText->ToUnicode(text) : DecodeText(text, m_pCharTable);
}

int CDrawContext::DrawText(std::string_view text, Rect& rc, unsigned nFlags) {
    if (m_pWholeText)
        return DrawTextLaidOut(Decode(text), rc, nFlags);
    bool bNeedsPrefix = !(nFlags & DT_NOPREFIX) && text.find('&') != std::string_view::npos;
    int nHeight = 0;
    if ((nFlags & DT_SINGLELINE) && !bNeedsPrefix && DrawTextFast(text, rc, nFlags, nHeight))
        return nHeight;
    return DrawTextLaidOut(DecodeText(text, m_pCharTable), rc, nFlags);
}

void CDrawContext::TextOut(int x, int y, std::string_view text) {
    const QFontMetrics& fm = m_pFont->GetQFontMetrics();
    int w = GetTextExtent(text).cx;
    int h = fm.height();
    unsigned nHorz = m_nTextAlign & TA_CENTER;
    if (nHorz == TA_CENTER)
        x -= w / 2;
    else if (nHorz == TA_RIGHT)
        x -= w;
    unsigned nVert = m_nTextAlign & TA_BASELINE;
    if (nVert == TA_BASELINE)
        y -= fm.ascent();
    else if (nVert == TA_BOTTOM)
        y -= h;
    Rect rc{x, y, x + w, y + h};
    int nHeight = 0;
    if (!m_pWholeText && DrawTextFast(text, rc, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX, nHeight))
        return;
    if (m_nBkMode == OPAQUE)
        FillDevice(x, y, w, h, m_clrBk);
    UsePainterFont();
    UsePainterTextPen();
    m_pPainter->drawText(QPoint(x, y + fm.ascent()), Decode(text));
}

Size CDrawContext::GetTextExtent(std::string_view text) const {
    const QFontMetrics& fm = m_pFont->GetQFontMetrics();
    int w = 0;
    if (m_pWholeText || !MeasureGlyphs(text, w))
        w = fm.horizontalAdvance(Decode(text));
    return Size{w, fm.height()};
}

TextMetrics CDrawContext::GetTextMetrics() const { return m_pFont->GetMetrics(); }

// --- pictures ---------------------------------------------------------------

void CDrawContext::DrawPicture(const CPicture& picture, const Rect& rcDest, bool bDisabled) {
    if (picture.IsNull() || rcDest.IsEmpty())
        return;
    if (!bDisabled) {
        m_pPainter->drawImage(ToQRect(rcDest), picture.GetQImage());
        return;
    }
    QImage gray = picture.GetQImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < gray.height(); ++y) {
        auto* pLine = reinterpret_cast<QRgb*>(gray.scanLine(y));
        for (int x = 0; x < gray.width(); ++x) {
            int g = qGray(pLine[x]);
            pLine[x] = qRgba(g, g, g, qAlpha(pLine[x]) / 2);
        }
    }
    m_pPainter->drawImage(ToQRect(rcDest), gray);
}

bool CDrawContext::DrawImageList(const ImageListDrawParams& params) {
    if (!params.pList)
        return false;
    const CPicture* pPicture = params.pList->GetImage(params.nImage);
    if (!pPicture)
        return false;
    Size size = params.pList->GetImageSize();
    int cx = params.cx > 0 ? params.cx : size.cx;
    int cy = params.cy > 0 ? params.cy : size.cy;
    Rect rcDest{params.x, params.y, params.x + cx, params.y + cy};
    if (!(params.nStyle & ILD_TRANSPARENT) && params.clrBk != CLR_DEFAULT)
        FillSolidRect(rcDest, params.clrBk);
    DrawPicture(*pPicture, rcDest);
    return true;
}

// --- clipping ---------------------------------------------------------------

void CDrawContext::ApplyClip() {
    if (!m_bUserClip && m_bBaseClipped) {
        m_pPainter->setClipping(false);
        return;
    }
    if (m_rcClipDevice.IsEmpty()) {
        // Qt treats an empty clip rectangle as "clip everything" only with clipping on.
        m_pPainter->setClipRect(QRect(0, 0, 0, 0));
        m_pPainter->setClipping(true);
        return;
    }
    Rect rcLogical = m_bIdentity ? m_rcClipDevice : DPtoLP(m_rcClipDevice);
    m_pPainter->setClipRect(ToQRect(rcLogical));
}

Rect CDrawContext::GetClipBox() const { return m_bIdentity ? m_rcClipDevice : DPtoLP(m_rcClipDevice); }

void CDrawContext::SelectClipRect(const Rect* pRect) {
    if (!pRect) {
        m_rcClipDevice = m_rcBaseDevice;
        m_bUserClip = false;
    } else {
        m_rcClipDevice = LPtoDP(*pRect).Intersected(m_rcBaseDevice);
        m_bUserClip = true;
    }
    ApplyClip();
}

void CDrawContext::IntersectClipRect(const Rect& rc) {
    m_rcClipDevice = LPtoDP(rc).Intersected(m_rcClipDevice);
    m_bUserClip = true;
    ApplyClip();
}

// --- mapping ----------------------------------------------------------------

int CDrawContext::SetMapMode(int nMode) {
    int old = m_nMapMode;
    if (nMode == MM_TEXT || nMode == MM_ISOTROPIC || nMode == MM_ANISOTROPIC)
        m_nMapMode = nMode;
    ApplyMapping();
    return old;
}

Size CDrawContext::SetWindowExt(int cx, int cy) {
    Size old = m_sizeWindowExt;
    if (m_nMapMode != MM_TEXT && cx != 0 && cy != 0) {
        m_sizeWindowExt = Size{cx, cy};
        ApplyMapping();
    }
    return old;
}

Size CDrawContext::SetViewportExt(int cx, int cy) {
    Size old = m_sizeViewportExt;
    if (m_nMapMode != MM_TEXT && cx != 0 && cy != 0) {
        m_sizeViewportExt = Size{cx, cy};
        ApplyMapping();
    }
    return old;
}

Point CDrawContext::SetWindowOrg(int x, int y) {
    Point old = m_ptWindowOrg;
    m_ptWindowOrg = Point{x, y};
    ApplyMapping();
    return old;
}

Point CDrawContext::SetViewportOrg(int x, int y) {
    Point old = m_ptViewportOrg;
    m_ptViewportOrg = Point{x, y};
    ApplyMapping();
    return old;
}

void CDrawContext::ApplyMapping() {
    double sx = 1.0, sy = 1.0;
    if (m_nMapMode != MM_TEXT) {
        sx = static_cast<double>(m_sizeViewportExt.cx) / m_sizeWindowExt.cx;
        sy = static_cast<double>(m_sizeViewportExt.cy) / m_sizeWindowExt.cy;
        if (m_nMapMode == MM_ISOTROPIC) {
            // Same scale on both axes: the smaller one, keeping each axis's direction.
            double s = std::min(std::abs(sx), std::abs(sy));
            sx = sx < 0 ? -s : s;
            sy = sy < 0 ? -s : s;
        }
    }
    double dx = m_ptViewportOrg.x - m_ptWindowOrg.x * sx;
    double dy = m_ptViewportOrg.y - m_ptWindowOrg.y * sy;
    m_bIdentity = sx == 1.0 && sy == 1.0 && dx == 0.0 && dy == 0.0;
    m_pPainter->setWorldTransform(QTransform(sx, 0, 0, sy, dx, dy));
    // The clip is held in device pixels, so it stays put while the mapping moves.
    ApplyClip();
}

Point CDrawContext::LPtoDP(Point pt) const {
    if (m_bIdentity)
        return pt;
    const QTransform& t = m_pPainter->worldTransform();
    return Point{static_cast<int>(std::lround(pt.x * t.m11() + t.dx())),
                 static_cast<int>(std::lround(pt.y * t.m22() + t.dy()))};
}

Point CDrawContext::DPtoLP(Point pt) const {
    if (m_bIdentity)
        return pt;
    const QTransform& t = m_pPainter->worldTransform();
    return Point{static_cast<int>(std::lround((pt.x - t.dx()) / t.m11())),
                 static_cast<int>(std::lround((pt.y - t.dy()) / t.m22()))};
}

Rect CDrawContext::LPtoDP(const Rect& rc) const {
    Point a = LPtoDP(Point{rc.left, rc.top}), b = LPtoDP(Point{rc.right, rc.bottom});
    return Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

Rect CDrawContext::DPtoLP(const Rect& rc) const {
    Point a = DPtoLP(Point{rc.left, rc.top}), b = DPtoLP(Point{rc.right, rc.bottom});
    return Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

}  // namespace platform
