// Pictures over QImage.
#include "platform/ui/picture.h"

#include <QImage>

namespace platform {

CPicture::CPicture() : m_pImage(std::make_unique<QImage>()) {}

CPicture::CPicture(int nWidth, int nHeight, const std::vector<uint32_t>& pixels) : CPicture() {
    if (nWidth <= 0 || nHeight <= 0)
        return;
    if (pixels.size() < static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight))
        return;
    QImage image(nWidth, nHeight, QImage::Format_ARGB32);
    for (int y = 0; y < nHeight; ++y) {
        auto* pLine = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < nWidth; ++x)
            pLine[x] = pixels[static_cast<size_t>(y) * static_cast<size_t>(nWidth) + static_cast<size_t>(x)];
    }
    *m_pImage = image;
}

CPicture::CPicture(const CPicture& other) : m_pImage(std::make_unique<QImage>(*other.m_pImage)) {}

CPicture& CPicture::operator=(const CPicture& other) {
    *m_pImage = *other.m_pImage;
    return *this;
}

CPicture::~CPicture() = default;

bool CPicture::Load(const std::string& strPath) {
    QImage image;
    if (!image.load(QString::fromStdString(strPath)))
        return false;
    *m_pImage = image;
    return true;
}

bool CPicture::IsNull() const { return m_pImage->isNull(); }
Size CPicture::GetSize() const { return Size{m_pImage->width(), m_pImage->height()}; }
const QImage& CPicture::GetQImage() const { return *m_pImage; }

}  // namespace platform
