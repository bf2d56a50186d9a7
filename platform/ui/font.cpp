// Fonts with pixel heights over QFont; metrics are cached per font because the
// grid measures text for every cell it paints.
#include "platform/ui/font.h"

#include <algorithm>
#include <atomic>

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>

namespace platform {

namespace {

unsigned NextGeneration() {
    static std::atomic<unsigned> s_nGeneration{1};
    return s_nGeneration++;
}

}  // namespace

struct CFont::Impl {
    QFont font;
    mutable std::unique_ptr<QFontMetrics> pMetrics;

    const QFontMetrics& Metrics() const {
        if (!pMetrics)
            pMetrics = std::make_unique<QFontMetrics>(font);
        return *pMetrics;
    }
};

CFont::CFont() : CFont(DefaultGuiFont()) {}

CFont::CFont(const std::string& strFace, int nPixelHeight, int nWeight, bool bItalic)
    : m_pImpl(std::make_unique<Impl>()), m_nGeneration(NextGeneration()) {
    if (!strFace.empty())
        m_pImpl->font.setFamily(QString::fromStdString(strFace));
    m_pImpl->font.setPixelSize(nPixelHeight > 0 ? nPixelHeight : 12);
    // Qt weights run 100..900 like ours, so they map one to one.
    m_pImpl->font.setWeight(static_cast<QFont::Weight>(std::clamp(nWeight, 100, 900)));
    m_pImpl->font.setItalic(bItalic);
}

CFont::CFont(const CFont& other)
    : m_pImpl(std::make_unique<Impl>()), m_nGeneration(NextGeneration()) {
    m_pImpl->font = other.m_pImpl->font;
}

CFont& CFont::operator=(const CFont& other) {
    if (this != &other) {
        m_pImpl->font = other.m_pImpl->font;
        m_pImpl->pMetrics.reset();
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
    m_pImpl->pMetrics.reset();
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
