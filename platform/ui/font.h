// A font whose height is given in pixels (logical units of the context it is
// drawn on), with its metrics. Fonts are values: copying one gives an
// independent font, as the grid's own copy of the GUI font must be.
#pragma once

#include <array>
#include <memory>
#include <string>

class QFont;
class QFontMetrics;

namespace platform {

// How single-byte text becomes Unicode for drawing: one UTF-16 unit per byte
// value. Tables that are not in the default code page get their own table; a
// table must not change once text has been drawn with it.
using CharTable = std::array<char16_t, 256>;
const CharTable& Windows1252CharTable();

// The glyphs of a font for the 256 byte values of a table (Qt side only).
struct FontGlyphs;

struct TextMetrics {
    int nHeight = 0;          // ascent + descent: the height of a line of text
    int nAscent = 0;
    int nDescent = 0;
    int nExternalLeading = 0;
    int nAveCharWidth = 0;
};

enum FontWeight : int { FW_NORMAL = 400, FW_BOLD = 700 };

class CFont {
public:
    // The system's default GUI font.
    CFont();
    CFont(const std::string& strFace, int nPixelHeight, int nWeight = FW_NORMAL, bool bItalic = false);
    CFont(const CFont& other);
    CFont& operator=(const CFont& other);
    ~CFont();

    static CFont DefaultGuiFont();

    std::string GetFaceName() const;
    int GetPixelHeight() const;
    int GetWeight() const;
    bool IsItalic() const;
    void SetPixelHeight(int nPixelHeight);

    TextMetrics GetMetrics() const;

    // For the Qt side of the platform layer only.
    const QFont& GetQFont() const;
    const QFontMetrics& GetQFontMetrics() const;
    const FontGlyphs& GetGlyphs(const CharTable& table) const;
    // Changes each time the font is changed, so a context can tell whether
    // the font it last gave its painter is still current.
    unsigned GetGeneration() const { return m_nGeneration; }

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
    unsigned m_nGeneration;
};

}  // namespace platform
