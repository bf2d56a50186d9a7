// The draw context: where text lands for each text-drawing flag, how lines,
// frames, focus rectangles, clipping and the anisotropic mapping put pixels,
// and that frame-control states look different from one another.
#include <functional>
#include <tuple>

#include <QPainter>

#include "tests/platform_ui/ui_test_support.h"

using namespace platform;
using ui_test::Ink;
using ui_test::PixelAt;

namespace {

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kBlue = Rgb(0, 0, 255);

QImage WhiteImage(int cx, int cy) {
    QImage image(cx, cy, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QRect DrawnText(const char* pszText, Rect rc, unsigned nFlags) {
    QImage image = WhiteImage(200, 60);
    {
        CDrawContext dc(image);
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(pszText, rc, nFlags);
    }
    return Ink(image);
}

class DrawContextTest : public ::testing::Test {
protected:
    void SetUp() override { ui_test::EnsureApplication(); }
};

}  // namespace

TEST_F(DrawContextTest, SingleLineTextIsPlacedByItsAlignmentFlags) {
    const Rect rc{20, 10, 180, 50};
    auto text = [&](unsigned nFlags) { return DrawnText("Wgy", rc, nFlags); };
    QRect left = text(DT_LEFT | DT_SINGLELINE | DT_VCENTER), right = text(DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    QRect centre = text(DT_CENTER | DT_SINGLELINE | DT_VCENTER), top = text(DT_LEFT | DT_SINGLELINE);
    QRect bottom = text(DT_LEFT | DT_SINGLELINE | DT_BOTTOM);
    EXPECT_TRUE(left.left() >= rc.left && left.left() <= rc.left + 3) << left.left();
    EXPECT_TRUE(right.right() < rc.right && right.right() >= rc.right - 4) << right.right();
    EXPECT_LE(std::abs((centre.left() - rc.left) - (rc.right - centre.right() - 1)), 3);
    EXPECT_LE(std::abs((left.top() - rc.top) - (rc.bottom - left.bottom() - 1)), 4);  // centred vertically
    EXPECT_LT(top.top(), left.top());
    EXPECT_GT(bottom.bottom(), left.bottom());
    // Vertical centring applies to single lines only.
    EXPECT_EQ(text(DT_LEFT | DT_VCENTER).top(), top.top());
}

TEST_F(DrawContextTest, CellTextLandsWhereLaidOutTextDoes) {
    // Single lines are drawn from the font's glyph table, other text is laid
    // out by Qt; both must put the same text in the same place.
    const Rect rc{10, 10, 190, 50};
    QRect fast = DrawnText("Total 1234.50", rc, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    QRect laidOut = DrawnText("Total 1234.50", rc, DT_LEFT | DT_NOPREFIX);
    EXPECT_LE(std::abs(fast.left() - laidOut.left()), 1);
    EXPECT_LE(std::abs(fast.right() - laidOut.right()), 1);
    EXPECT_EQ(fast.top(), laidOut.top());
    EXPECT_EQ(fast.bottom(), laidOut.bottom());
}

TEST_F(DrawContextTest, MeasuringDrawsNothingAndKnowsPrefixesAndWrapping) {
    QImage image = WhiteImage(200, 60);
    CDrawContext dc(image);
    Rect rc{10, 10, 15, 15};
    int nHeight = dc.DrawText("Measure me", rc, DT_SINGLELINE | DT_CALCRECT);
    Size size = dc.GetTextExtent("Measure me");
    EXPECT_EQ(rc.Width(), size.cx);
    EXPECT_EQ(rc.Height(), size.cy);
    EXPECT_EQ(nHeight, size.cy);
    EXPECT_EQ(size.cy, dc.GetTextMetrics().nHeight);
    EXPECT_TRUE(Ink(image).isNull());

    Rect rcWrap{0, 0, 60, 0};
    dc.DrawText("several words that wrap", rcWrap, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(rcWrap.Height(), 2 * size.cy);
    EXPECT_LE(rcWrap.Width(), 60);

    // An ampersand is a prefix (not drawn) unless DT_NOPREFIX.
    Rect plain{0, 0, 300, 40}, prefixed{0, 0, 300, 40};
    dc.DrawText("&File", plain, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    dc.DrawText("&File", prefixed, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(plain.Width(), dc.GetTextExtent("&File").cx);
    EXPECT_NEAR(prefixed.Width(), dc.GetTextExtent("File").cx, 1);  // laid out text may round up a pixel
}

TEST_F(DrawContextTest, LongTextIsClippedOrEllipsizedUnlessNoClip) {
    const Rect rc{10, 10, 60, 40};
    const char* pszLong = "A very long piece of text";
    EXPECT_LT(DrawnText(pszLong, rc, DT_SINGLELINE).right(), rc.right);
    EXPECT_LT(DrawnText(pszLong, rc, DT_SINGLELINE | DT_END_ELLIPSIS).right(), rc.right);
    EXPECT_GT(DrawnText(pszLong, rc, DT_SINGLELINE | DT_NOCLIP).right(), rc.right + 19);
}

TEST_F(DrawContextTest, RightToLeftTextIsLaidOutByQtAndTextIsDecodedByTheCodePage) {
    EXPECT_EQ(DecodeText("\x80\xe9"), QString::fromUtf8("\xe2\x82\xac\xc3\xa9"));  // euro sign, e acute
    // Hebrew letters in the table must not be drawn glyph by glyph left to
    // right: the cell shows exactly what Qt's own layout shows.
    CharTable table = Windows1252CharTable();
    for (int i = 0; i < 27; ++i)
        table[static_cast<size_t>(0xE0 + i)] = static_cast<char16_t>(0x05D0 + i);
    EXPECT_EQ(DecodeText("\xE0" "A", &table), QString::fromUtf8("\u05D0A"));
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
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromUtf8("\u05D0\u05D1\u05D2 12"));
    }
    EXPECT_FALSE(Ink(ours).isNull());
    EXPECT_EQ(ours, qts);
}

TEST_F(DrawContextTest, LinesFramesFocusRectanglesAndClippingPutTheirPixels) {
    struct Case {
        const char* pszWhat;
        std::function<void(CDrawContext&)> draw;
        std::vector<std::tuple<int, int, Color>> pixels;
    } cases[] = {
        // A line stops short of its end point; (10, 5) is the second segment's.
        {"lines",
         [](CDrawContext& dc) {
             dc.SelectPen(kRed);
             dc.MoveTo(2, 5);
             dc.LineTo(10, 5);
             dc.LineTo(10, 12);
             dc.MoveTo(15, 2);
             dc.LineTo(18, 5);
         },
         {{2, 5, kRed}, {9, 5, kRed}, {10, 5, kRed}, {10, 11, kRed}, {10, 12, kWhite}, {1, 5, kWhite}, {15, 2, kRed},
          {17, 4, kRed}, {18, 5, kWhite}}},
        // The top-right corner (24, 15) of a 3-D rectangle has the bottom-right colour.
        {"frames",
         [](CDrawContext& dc) {
             dc.FrameRect(Rect{1, 1, 11, 11}, kBlack);
             dc.Draw3dRect(Rect{15, 15, 25, 25}, kRed, kBlue);
         },
         {{1, 1, kBlack}, {10, 10, kBlack}, {11, 10, kWhite}, {5, 5, kWhite}, {15, 15, kRed}, {23, 15, kRed},
          {24, 15, kBlue}, {15, 24, kBlue}, {24, 24, kBlue}}},
        // The focus rectangle alternates text and background colours.
        {"focus",
         [](CDrawContext& dc) {
             dc.SetTextColor(kBlue);
             dc.SetBkColor(kRed);
             dc.DrawFocusRect(Rect{2, 2, 12, 8});
         },
         {{2, 2, kBlue}, {3, 2, kRed}, {4, 2, kBlue}, {2, 3, kRed}, {11, 6, kRed}, {11, 7, kBlue}, {5, 5, kWhite}}},
        {"clipping",
         [](CDrawContext& dc) {
             Rect rcClip{10, 10, 20, 20};
             dc.SelectClipRect(&rcClip);
             EXPECT_EQ(dc.GetClipBox(), rcClip);
             dc.FillSolidRect(Rect{0, 0, 40, 40}, kRed);
             dc.SelectClipRect(nullptr);
             EXPECT_EQ(dc.GetClipBox(), (Rect{0, 0, 40, 40}));
             dc.FillSolidRect(Rect{30, 30, 35, 35}, kBlue);
         },
         {{9, 9, kWhite}, {10, 10, kRed}, {19, 19, kRed}, {20, 20, kWhite}, {32, 32, kBlue}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        QImage image = WhiteImage(40, 40);
        {
            CDrawContext dc(image);
            c.draw(dc);
        }
        for (auto [x, y, clr] : c.pixels)
            EXPECT_EQ(PixelAt(image, x, y), clr) << x << "," << y;
    }

    // A context made for part of a device never draws outside that part.
    QImage image = WhiteImage(40, 40);
    {
        QPainter painter(&image);
        CDrawContext dc(painter, Rect{0, 0, 20, 40});
        dc.SelectClipRect(nullptr);
        dc.FillSolidRect(Rect{0, 0, 40, 40}, kRed);
    }
    EXPECT_EQ(PixelAt(image, 19, 5), kRed);
    EXPECT_EQ(PixelAt(image, 20, 5), kWhite);
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
    EXPECT_EQ(Ink(image), QRect(10, 0, 10, 20));
}

TEST_F(DrawContextTest, FrameControlStatesLookDifferent) {
    auto draw = [](unsigned nKind, unsigned nState) {
        QImage image = WhiteImage(13, 13);
        CDrawContext dc(image);
        EXPECT_TRUE(dc.DrawFrameControl(Rect{0, 0, 13, 13}, nKind, nState));
        return image;
    };
    // Each pair must look different: the check-box states 0, 1 and 2, and a
    // state of each other kind against its plain look.
    const std::tuple<unsigned, unsigned, unsigned> differ[] = {
        {DFC_BUTTON, DFCS_BUTTONCHECK, DFCS_BUTTONCHECK | DFCS_CHECKED},
        {DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED, DFCS_BUTTONCHECK | DFCS_CHECKED},
        {DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED, DFCS_BUTTONCHECK},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_INACTIVE, DFCS_BUTTONCHECK},
        {DFC_BUTTON, DFCS_BUTTONRADIO, DFCS_BUTTONRADIO | DFCS_CHECKED},
        {DFC_BUTTON, DFCS_BUTTONPUSH, DFCS_BUTTONPUSH | DFCS_PUSHED},
        {DFC_SCROLL, DFCS_SCROLLUP, DFCS_SCROLLDOWN},
    };
    for (auto [nKind, nFirst, nSecond] : differ)
        EXPECT_NE(draw(nKind, nFirst), draw(nKind, nSecond)) << nKind << ": " << nFirst << " / " << nSecond;
    EXPECT_EQ(draw(DFC_BUTTON, DFCS_BUTTON3STATE), draw(DFC_BUTTON, DFCS_BUTTONCHECK));
    EXPECT_FALSE(Ink(draw(DFC_CAPTION, DFCS_CAPTIONCLOSE)).isNull());
    EXPECT_FALSE(Ink(draw(DFC_MENU, DFCS_MENUCHECK)).isNull());

    QImage image = WhiteImage(13, 13);
    CDrawContext dc(image);
    EXPECT_FALSE(dc.DrawFrameControl(Rect{0, 0, 13, 13}, 99, 0));
    EXPECT_FALSE(dc.DrawFrameControl(Rect{5, 5, 5, 9}, DFC_BUTTON, 0));
}

TEST_F(DrawContextTest, FontCopiesAreIndependent) {
    CFont font("DejaVu Sans", 20);
    CFont copy = font;
    copy.SetPixelHeight(30);
    EXPECT_EQ(font.GetPixelHeight(), 20);
    EXPECT_GT(copy.GetMetrics().nHeight, font.GetMetrics().nHeight);
}
