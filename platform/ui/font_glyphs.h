// The glyph table of a font for one character table: glyph index and advance
// of each byte value, so that single-byte cell text is laid out by table
// look-ups instead of a shaping engine. Used by the Qt side of the platform
// layer only.
#pragma once

#include <array>

#include <QRawFont>

namespace platform {

struct FontGlyphs {
    QRawFont rawFont;
    bool bUsable = false;                // false: lay text out with Qt instead
    std::array<quint32, 256> glyphs{};   // 0 where the font has no glyph
    std::array<qreal, 256> advances{};
    quint32 nEllipsisGlyph = 0;          // U+2026, 0 when missing
    qreal fEllipsisAdvance = 0;
};

}  // namespace platform
