// The draw context: where text lands for each text-drawing flag, how lines,
// frames, focus rectangles, clipping and the anisotropic mapping put pixels,
// and that frame-control states look different from one another.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QFontMetrics>
#include <QPalette>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/ui/draw_context.h"
#include "platform/ui/system_metrics.h"

using namespace platform;

namespace {

void EnsureApplication() {
    static int s_argc = 1;
    static char s_arg0[] = "platform_ui_tests";
    static char* s_argv[] = {s_arg0, nullptr};
    if (!QCoreApplication::instance()) new QApplication(s_argc, s_argv);
}

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kBlue = Rgb(0, 0, 255);

QImage WhiteImage(int cx, int cy) {
    QImage image(cx, cy, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

Color PixelAt(const QImage& image, int x, int y) {
    QRgb c = image.pixel(x, y);
    return Rgb(qRed(c), qGreen(c), qBlue(c));
}

// The bounding box of every pixel that is not white.
Rect Ink(const QImage& image) {
    Rect rc{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (PixelAt(image, x, y) != kWhite) {
                rc.left = std::min(rc.left, x);
                rc.top = std::min(rc.top, y);
                rc.right = std::max(rc.right, x + 1);
                rc.bottom = std::max(rc.bottom, y + 1);
            }
    return rc;
}

// Each listed pixel has its colour.
void ExpectPixels(const QImage& image, std::initializer_list<std::tuple<int, int, Color>> pixels) {
    for (auto [x, y, clr] : pixels) EXPECT_EQ(PixelAt(image, x, y), clr) << x << "," << y;
}

Rect DrawnText(const char* pszText, Rect rc, unsigned nFlags, int cx = 200, int cy = 60) {
    QImage image = WhiteImage(cx, cy);
    {
        CDrawContext dc(image);
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(pszText, rc, nFlags);
    }
    return Ink(image);
}

class DrawContextTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
};

}  // namespace

TEST_F(DrawContextTest, SingleLineTextIsPlacedByItsAlignmentFlags) {
    const Rect rc{20, 10, 180, 50};
    auto text = [&](unsigned nFlags) { return DrawnText("Wgy", rc, nFlags); };
    Rect left = text(DT_LEFT | DT_SINGLELINE | DT_VCENTER), right = text(DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    Rect centre = text(DT_CENTER | DT_SINGLELINE | DT_VCENTER), top = text(DT_LEFT | DT_SINGLELINE);
    Rect bottom = text(DT_LEFT | DT_SINGLELINE | DT_BOTTOM);
    EXPECT_TRUE(left.left >= rc.left && left.left <= rc.left + 3) << left.left;
    EXPECT_TRUE(right.right <= rc.right && right.right >= rc.right - 3) << right.right;
    EXPECT_LE(std::abs((centre.left - rc.left) - (rc.right - centre.right)), 3);
    EXPECT_LE(std::abs((left.top - rc.top) - (rc.bottom - left.bottom)), 4);  // centred vertically
    EXPECT_LT(top.top, left.top);
    EXPECT_GT(bottom.bottom, left.bottom);
    // Vertical centring applies to single lines only.
    EXPECT_EQ(text(DT_LEFT | DT_VCENTER).top, top.top);
}

TEST_F(DrawContextTest, CellTextLandsWhereLaidOutTextDoes) {
    // Single lines are drawn from the font's glyph table, other text is laid
    // out by Qt; both must put the same text in the same place.
    const Rect rc{10, 10, 190, 50};
    Rect fast = DrawnText("Total 1234.50", rc, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    Rect laidOut = DrawnText("Total 1234.50", rc, DT_LEFT | DT_NOPREFIX);
    EXPECT_LE(std::abs(fast.left - laidOut.left), 1);
    EXPECT_LE(std::abs(fast.right - laidOut.right), 1);
    EXPECT_EQ(fast.top, laidOut.top);
    EXPECT_EQ(fast.bottom, laidOut.bottom);
}

TEST_F(DrawContextTest, MeasuringMatchesTheExtentAndDrawsNothing) {
    QImage image = WhiteImage(200, 60);
    CDrawContext dc(image);
    Rect rc{10, 10, 15, 15};
    int nHeight = dc.DrawText("Measure me", rc, DT_SINGLELINE | DT_CALCRECT);
    Size size = dc.GetTextExtent("Measure me");
    EXPECT_EQ(rc.Width(), size.cx);
    EXPECT_EQ(rc.Height(), size.cy);
    EXPECT_EQ(nHeight, size.cy);
    EXPECT_EQ(size.cy, dc.GetTextMetrics().nHeight);
    EXPECT_EQ(Ink(image).left, INT_MAX);

    Rect rcWrap{0, 0, 60, 0};
    dc.DrawText("several words that wrap", rcWrap, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(rcWrap.Height(), 2 * size.cy);
    EXPECT_LE(rcWrap.Width(), 60);
}

TEST_F(DrawContextTest, LongTextIsClippedOrEllipsizedUnlessNoClip) {
    const Rect rc{10, 10, 60, 40};
    const char* pszLong = "A very long piece of text";
    Rect clipped = DrawnText(pszLong, rc, DT_SINGLELINE);
    Rect ellipsis = DrawnText(pszLong, rc, DT_SINGLELINE | DT_END_ELLIPSIS);
    Rect free = DrawnText(pszLong, rc, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_LE(clipped.right, rc.right);
    EXPECT_LE(ellipsis.right, rc.right);
    EXPECT_GT(free.right, rc.right + 20);
}

TEST_F(DrawContextTest, AmpersandsArePrefixesUnlessNoPrefix) {
    QImage image = WhiteImage(10, 10);
    CDrawContext dc(image);
    Rect plain{0, 0, 300, 40}, prefixed{0, 0, 300, 40};
    dc.DrawText("&File", plain, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    dc.DrawText("&File", prefixed, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(plain.Width(), dc.GetTextExtent("&File").cx);
    EXPECT_NEAR(prefixed.Width(), dc.GetTextExtent("File").cx, 1);  // laid out text may round up a pixel
    EXPECT_LT(prefixed.Width() + 3, plain.Width());
}

TEST_F(DrawContextTest, RightToLeftTextIsLaidOutByQt) {
    // Hebrew letters in the table must not be drawn glyph by glyph left to
    // right: the cell shows exactly what Qt's own layout shows.
    CharTable table = Windows1252CharTable();
    for (int i = 0; i < 27; ++i)
        table[static_cast<size_t>(0xE0 + i)] = static_cast<char16_t>(0x05D0 + i);
    const QRect box(10, 10, 180, 30);
    QImage ours = WhiteImage(200, 50), qts = WhiteImage(200, 50);
    CFont font("DejaVu Sans", 16);
    {
        CDrawContext dc(ours);
        dc.SetCharTable(&table);
        dc.SelectFont(&font);
        dc.SetBkMode(TRANSPARENT);
        Rect rc{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
        dc.DrawText("\xE0\xE1\xE2 12", rc, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    }
    {
        QPainter painter(&qts);
        painter.setFont(font.GetQFont());
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromUtf8("\u05D0\u05D1\u05D2 12"));
    }
    EXPECT_NE(Ink(ours).left, INT_MAX);
    EXPECT_EQ(ours, qts);
}

TEST_F(DrawContextTest, TextIsDecodedFromTheWindowsCodePage) {
    EXPECT_EQ(DecodeText("\x80\xe9"), QString::fromUtf8("\xe2\x82\xac\xc3\xa9"));  // euro sign, e acute
    CharTable table = Windows1252CharTable();
    table['A'] = u'Z';
    EXPECT_EQ(DecodeText("AB", &table), QStringLiteral("ZB"));
}

TEST_F(DrawContextTest, LinesStopShortOfTheirEndPoint) {
    QImage image = WhiteImage(20, 20);
    {
        CDrawContext dc(image);
        dc.SelectPen(kRed);
        dc.MoveTo(2, 5);
        dc.LineTo(10, 5);
        dc.LineTo(10, 12);
        dc.MoveTo(15, 2);
        dc.LineTo(18, 5);
    }
    // (10, 5) is drawn by the second segment.
    ExpectPixels(image, {{2, 5, kRed}, {9, 5, kRed}, {10, 5, kRed}, {10, 11, kRed}, {10, 12, kWhite}, {1, 5, kWhite},
                         {15, 2, kRed}, {17, 4, kRed}, {18, 5, kWhite}});
}

TEST_F(DrawContextTest, FramesAnd3dRectanglesPutTheirColoursOnTheRightEdges) {
    QImage image = WhiteImage(30, 30);
    {
        CDrawContext dc(image);
        dc.FrameRect(Rect{1, 1, 11, 11}, kBlack);
        dc.Draw3dRect(Rect{15, 15, 25, 25}, kRed, kBlue);
    }
    // The top-right corner (24, 15) belongs to the bottom-right colour.
    ExpectPixels(image, {{1, 1, kBlack}, {10, 10, kBlack}, {11, 10, kWhite}, {5, 5, kWhite}, {15, 15, kRed},
                         {23, 15, kRed}, {24, 15, kBlue}, {15, 24, kBlue}, {24, 24, kBlue}});
}

TEST_F(DrawContextTest, TheFocusRectangleAlternatesTextAndBackgroundColours) {
    QImage image = WhiteImage(20, 20);
    {
        CDrawContext dc(image);
        dc.SetTextColor(kBlue);
        dc.SetBkColor(kRed);
        dc.DrawFocusRect(Rect{2, 2, 12, 8});
    }
    ExpectPixels(image, {{2, 2, kBlue}, {3, 2, kRed}, {4, 2, kBlue}, {2, 3, kRed}, {11, 6, kRed}, {11, 7, kBlue},
                         {5, 5, kWhite}});
}

TEST_F(DrawContextTest, ClippingLimitsDrawingAndCanBeRemoved) {
    QImage image = WhiteImage(40, 40);
    {
        CDrawContext dc(image);
        Rect rcClip{10, 10, 20, 20};
        dc.SelectClipRect(&rcClip);
        EXPECT_EQ(dc.GetClipBox(), rcClip);
        dc.FillSolidRect(Rect{0, 0, 40, 40}, kRed);
        dc.SelectClipRect(nullptr);
        EXPECT_EQ(dc.GetClipBox(), (Rect{0, 0, 40, 40}));
        dc.FillSolidRect(Rect{30, 30, 35, 35}, kBlue);
    }
    ExpectPixels(image, {{9, 9, kWhite}, {10, 10, kRed}, {19, 19, kRed}, {20, 20, kWhite}, {32, 32, kBlue}});

    // A context made for part of a device never draws outside that part.
    QImage second = WhiteImage(40, 40);
    {
        QPainter painter(&second);
        CDrawContext dc(painter, Rect{0, 0, 20, 40});
        dc.SelectClipRect(nullptr);
        dc.FillSolidRect(Rect{0, 0, 40, 40}, kRed);
    }
    ExpectPixels(second, {{19, 5, kRed}, {20, 5, kWhite}});
}

TEST_F(DrawContextTest, TheAnisotropicMappingScalesLogicalUnits) {
    QImage image = WhiteImage(100, 100);
    {
        CDrawContext dc(image);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(100, 100);
        dc.SetViewportExt(50, 200);
        dc.SetViewportOrg(10, 0);
        EXPECT_EQ(dc.LPtoDP(Point{20, 20}), (Point{20, 40}));
        EXPECT_EQ(dc.DPtoLP(Point{20, 40}), (Point{20, 20}));
        dc.FillSolidRect(Rect{0, 0, 20, 10}, kRed);
        EXPECT_EQ(dc.GetClipBox(), (Rect{-20, 0, 180, 50}));
    }
    EXPECT_EQ(Ink(image), (Rect{10, 0, 20, 20}));
}

TEST_F(DrawContextTest, FrameControlStatesLookDifferent) {
    auto draw = [](unsigned nKind, unsigned nState) {
        QImage image = WhiteImage(13, 13);
        CDrawContext dc(image);
        EXPECT_TRUE(dc.DrawFrameControl(Rect{0, 0, 13, 13}, nKind, nState));
        return image;
    };
    QImage unchecked = draw(DFC_BUTTON, DFCS_BUTTONCHECK);
    QImage checked = draw(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    QImage indeterminate = draw(DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED);
    EXPECT_NE(unchecked, checked);
    EXPECT_NE(indeterminate, checked);
    EXPECT_NE(indeterminate, unchecked);
    EXPECT_EQ(draw(DFC_BUTTON, DFCS_BUTTON3STATE), unchecked);
    EXPECT_NE(draw(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_INACTIVE), unchecked);
    EXPECT_NE(draw(DFC_BUTTON, DFCS_BUTTONRADIO), draw(DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED));
    EXPECT_NE(draw(DFC_BUTTON, DFCS_BUTTONPUSH), draw(DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED));
    EXPECT_NE(draw(DFC_SCROLL, DFCS_SCROLLUP), draw(DFC_SCROLL, DFCS_SCROLLDOWN));
    EXPECT_NE(Ink(draw(DFC_CAPTION, DFCS_CAPTIONCLOSE)).left, INT_MAX);
    EXPECT_NE(Ink(draw(DFC_MENU, DFCS_MENUCHECK)).left, INT_MAX);

    QImage image = WhiteImage(13, 13);
    CDrawContext dc(image);
    EXPECT_FALSE(dc.DrawFrameControl(Rect{0, 0, 13, 13}, 99, 0));
    EXPECT_FALSE(dc.DrawFrameControl(Rect{5, 5, 5, 9}, DFC_BUTTON, 0));
}

TEST_F(DrawContextTest, SystemColoursAndMetricsComeFromTheDesktop) {
    QPalette pal = QGuiApplication::palette();
    QColor base = pal.color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), Rgb(base.red(), base.green(), base.blue()));
    QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), Rgb(highlight.red(), highlight.green(), highlight.blue()));
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_GT(GetSystemMetrics(SM_CXVSCROLL), 0);
    EXPECT_EQ(GetSystemMetrics(12345), 0);
    CFont font("DejaVu Sans", 20);
    CFont copy = font;
    copy.SetPixelHeight(30);
    EXPECT_EQ(font.GetPixelHeight(), 20);  // copies are independent
    EXPECT_GT(copy.GetMetrics().nHeight, font.GetMetrics().nHeight);
}
