// Fonts with pixel heights over QFont; metrics are cached per font because the
// grid measures text for every cell it paints.
#include "platform/ui/font.h"

#include <algorithm>
#include <atomic>

#include <vector>

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QRawFont>

#include "platform/ui/font_glyphs.h"

namespace platform {

namespace {

// The bytes 0x80..0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

unsigned NextGeneration() {
    static std::atomic<unsigned> s_nGeneration{1};
    return s_nGeneration++;
}

}  // namespace

const CharTable& Windows1252CharTable() {
    static const CharTable s_table = [] {
        CharTable table{};
        for (int i = 0; i < 256; ++i)
            table[static_cast<size_t>(i)] = static_cast<char16_t>(i);
        for (int i = 0; i < 32; ++i)
            table[static_cast<size_t>(0x80 + i)] = k1252High[i];
        return table;
    }();
    return s_table;
}

struct CFont::Impl {
    QFont font;
    mutable std::unique_ptr<QFontMetrics> pMetrics;
    // One glyph table per character table the font has drawn with.
    mutable std::vector<std::pair<const CharTable*, std::unique_ptr<FontGlyphs>>> glyphTables;

    const QFontMetrics& Metrics() const {
        if (!pMetrics)
            pMetrics = std::make_unique<QFontMetrics>(font);
        return *pMetrics;
    }
    void Forget() {
        pMetrics.reset();
        glyphTables.clear();
    }
};

namespace {

std::unique_ptr<FontGlyphs> BuildGlyphs(const QFont& font, const CharTable& table) {
    auto pGlyphs = std::make_unique<FontGlyphs>();
    pGlyphs->rawFont = QRawFont::fromFont(font);
    if (!pGlyphs->rawFont.isValid())
        return pGlyphs;
    QString chars(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        chars[i] = QChar(table[static_cast<size_t>(i)]);
    QList<quint32> glyphs = pGlyphs->rawFont.glyphIndexesForString(chars);
    if (glyphs.size() != 256)
        return pGlyphs;  // a character became more than one glyph: let Qt lay text out
    QList<QPointF> advances = pGlyphs->rawFont.advancesForGlyphIndexes(glyphs);
    for (int i = 0; i < 256; ++i) {
        // Control characters (spaces, tabs, line breaks), combining marks and
        // right-to-left letters need Qt's layout: mark them as having no glyph.
        QChar ch(table[static_cast<size_t>(i)]);
        QChar::Direction dir = ch.direction();
        bool bLaidOut = ch.unicode() < 0x20 || ch.isMark() || dir == QChar::DirR || dir == QChar::DirAL ||
                        ch.joiningType() == QChar::Joining_Dual || ch.joiningType() == QChar::Joining_Right;
        pGlyphs->glyphs[static_cast<size_t>(i)] = bLaidOut ? 0 : glyphs[i];
        pGlyphs->advances[static_cast<size_t>(i)] = advances[i].x();
    }
    QList<quint32> ellipsis = pGlyphs->rawFont.glyphIndexesForString(QString(QChar(0x2026)));
    if (ellipsis.size() == 1 && ellipsis[0] != 0) {
        pGlyphs->nEllipsisGlyph = ellipsis[0];
        pGlyphs->fEllipsisAdvance = pGlyphs->rawFont.advancesForGlyphIndexes(ellipsis)[0].x();
    }
    pGlyphs->bUsable = true;
    return pGlyphs;
}

}  // namespace

const FontGlyphs& CFont::GetGlyphs(const CharTable& table) const {
    for (const auto& entry : m_pImpl->glyphTables)
        if (entry.first == &table)
            return *entry.second;
    m_pImpl->glyphTables.emplace_back(&table, BuildGlyphs(m_pImpl->font, table));
    return *m_pImpl->glyphTables.back().second;
}

CFont::CFont() : CFont(DefaultGuiFont()) {}

CFont::CFont(const std::string& strFace, int nPixelHeight, int nWeight, bool bItalic)
    : m_pImpl(std::make_unique<Impl>()), m_nGeneration(NextGeneration()) {
    if (!strFace.empty())
        m_pImpl->font.setFamily(QString::fromStdString(strFace));
    m_pImpl->font.setPixelSize(nPixelHeight > 0 ? nPixelHeight : 12);
    // Qt weights run 100..900 like ours, so they map one to one.
    m_pImpl->font.setWeight(static_cast<QFont::Weight>(std::clamp(nWeight, 100, 900)));
    m_pImpl->font.setItalic(bItalic);
    // Text is placed glyph by glyph from a table (see GetGlyphs); pair
    // kerning would make laid-out text and cell text disagree, and the
    // programs' text has always been drawn unkerned.
    m_pImpl->font.setKerning(false);
}

CFont::CFont(const CFont& other)
    : m_pImpl(std::make_unique<Impl>()), m_nGeneration(NextGeneration()) {
    m_pImpl->font = other.m_pImpl->font;
}

CFont& CFont::operator=(const CFont& other) {
    if (this != &other) {
        m_pImpl->font = other.m_pImpl->font;
        m_pImpl->Forget();
        m_nGeneration = NextGeneration();
    }
    return *this;
}

CFont::~CFont() = default;

CFont CFont::DefaultGuiFont() {
    QFont font = QGuiApplication::font();
    int nPixels = font.pixelSize();
    if (nPixels <= 0)
        nPixels = QFontInfo(font).pixelSize();
    return CFont(font.family().toStdString(), nPixels, font.weight(), font.italic());
}

std::string CFont::GetFaceName() const { return m_pImpl->font.family().toStdString(); }
int CFont::GetPixelHeight() const { return m_pImpl->font.pixelSize(); }
int CFont::GetWeight() const { return m_pImpl->font.weight(); }
bool CFont::IsItalic() const { return m_pImpl->font.italic(); }

void CFont::SetPixelHeight(int nPixelHeight) {
    m_pImpl->font.setPixelSize(nPixelHeight > 0 ? nPixelHeight : 1);
    m_pImpl->Forget();
    m_nGeneration = NextGeneration();
}

TextMetrics CFont::GetMetrics() const {
    const QFontMetrics& fm = m_pImpl->Metrics();
    TextMetrics tm;
    tm.nAscent = fm.ascent();
    tm.nDescent = fm.descent();
    tm.nHeight = fm.height();
    tm.nExternalLeading = fm.leading();
    tm.nAveCharWidth = fm.averageCharWidth();
    return tm;
}

const QFont& CFont::GetQFont() const { return m_pImpl->font; }
const QFontMetrics& CFont::GetQFontMetrics() const { return m_pImpl->Metrics(); }

}  // namespace platform
