// Bitmaps, icons and image lists that cells can show beside their text. The
// image itself stays behind the platform layer; the grid only passes these
// objects from its data source to the draw context.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/draw_types.h"

class QImage;

namespace platform {

class CPicture {
public:
    CPicture();
    // An image of the given size from 32-bit 0xAARRGGBB pixels, row by row.
    CPicture(int nWidth, int nHeight, const std::vector<uint32_t>& pixels);
    CPicture(const CPicture& other);
    CPicture& operator=(const CPicture& other);
    ~CPicture();

    // Loads a picture file (PNG, BMP, ICO, ...); false when it cannot be read.
    bool Load(const std::string& strPath);
    bool IsNull() const;
    Size GetSize() const;

    const QImage& GetQImage() const;

private:
    std::unique_ptr<QImage> m_pImage;
};

// Images of one size, drawn by index.
class CImageList {
public:
    explicit CImageList(Size size) : m_size(size) {}
    int Add(const CPicture& picture) {
        m_pictures.push_back(picture);
        return static_cast<int>(m_pictures.size()) - 1;
    }
    int GetCount() const { return static_cast<int>(m_pictures.size()); }
    Size GetImageSize() const { return m_size; }
    const CPicture* GetImage(int nIndex) const {
        if (nIndex < 0 || nIndex >= GetCount())
            return nullptr;
        return &m_pictures[static_cast<size_t>(nIndex)];
    }

private:
    Size m_size;
    std::vector<CPicture> m_pictures;
};

// Default colour of an image-list drawing, and the transparent drawing style.
constexpr Color CLR_DEFAULT = 0xFF000000u;
constexpr unsigned ILD_NORMAL = 0x0000;
constexpr unsigned ILD_TRANSPARENT = 0x0001;

// What a cell asks to draw from an image list.
struct ImageListDrawParams {
    const CImageList* pList = nullptr;
    int nImage = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    Color clrBk = CLR_DEFAULT;
    Color clrFg = CLR_DEFAULT;
    unsigned nStyle = ILD_NORMAL;
};

}  // namespace platform
