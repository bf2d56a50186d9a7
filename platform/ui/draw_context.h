// The device context the grid and printed pages draw through: solid fills,
// one-pixel lines with pens, 3-D rectangles and edges, text with the text-drawing
// flags below, frame controls in the desktop's native style, fonts, clipping,
// the dotted focus rectangle and the anisotropic mapping mode printing needs.
// The same calls paint a widget, an offscreen image and a printed page; Qt
// stays behind this header (only the painter is named, for the code that
// creates a context).
#pragma once

#include <memory>
#include <string_view>

#include "platform/ui/draw_types.h"
#include "platform/ui/font.h"
#include "platform/ui/picture.h"

class QImage;
class QPainter;
class QString;

namespace platform {

class CTextCodec;

// Text-drawing flags. The bit values are the ones stored in column formats and
// passed by derived grids, so they never change.
enum TextFlags : unsigned {
    DT_TOP = 0x00000000,
    DT_LEFT = 0x00000000,
    DT_CENTER = 0x00000001,
    DT_RIGHT = 0x00000002,
    DT_VCENTER = 0x00000004,         // with DT_SINGLELINE only
    DT_BOTTOM = 0x00000008,          // with DT_SINGLELINE only
    DT_WORDBREAK = 0x00000010,
    DT_SINGLELINE = 0x00000020,
    DT_EXPANDTABS = 0x00000040,
    DT_TABSTOP = 0x00000080,
    DT_NOCLIP = 0x00000100,
    DT_EXTERNALLEADING = 0x00000200,
    DT_CALCRECT = 0x00000400,        // measure into the rectangle, draw nothing
    DT_NOPREFIX = 0x00000800,        // '&' is an ordinary character
    DT_INTERNAL = 0x00001000,
    DT_EDITCONTROL = 0x00002000,
    DT_PATH_ELLIPSIS = 0x00004000,
    DT_END_ELLIPSIS = 0x00008000,
    DT_MODIFYSTRING = 0x00010000,
    DT_RTLREADING = 0x00020000,
    DT_WORD_ELLIPSIS = 0x00040000,
    DT_HIDEPREFIX = 0x00100000,
};

// Frame-control kinds and states.
enum FrameControlKind : unsigned {
    DFC_CAPTION = 1,
    DFC_MENU = 2,
    DFC_SCROLL = 3,
    DFC_BUTTON = 4,
    DFC_POPUPMENU = 5,
};

enum FrameControlState : unsigned {
    DFCS_CAPTIONCLOSE = 0x0000,
    DFCS_CAPTIONMIN = 0x0001,
    DFCS_CAPTIONMAX = 0x0002,
    DFCS_CAPTIONRESTORE = 0x0003,
    DFCS_CAPTIONHELP = 0x0004,

    DFCS_MENUARROW = 0x0000,
    DFCS_MENUCHECK = 0x0001,
    DFCS_MENUBULLET = 0x0002,
    DFCS_MENUARROWRIGHT = 0x0004,

    DFCS_SCROLLUP = 0x0000,
    DFCS_SCROLLDOWN = 0x0001,
    DFCS_SCROLLLEFT = 0x0002,
    DFCS_SCROLLRIGHT = 0x0003,
    DFCS_SCROLLCOMBOBOX = 0x0005,
    DFCS_SCROLLSIZEGRIP = 0x0008,
    DFCS_SCROLLSIZEGRIPRIGHT = 0x0010,

    DFCS_BUTTONCHECK = 0x0000,
    DFCS_BUTTONRADIOIMAGE = 0x0001,
    DFCS_BUTTONRADIOMASK = 0x0002,
    DFCS_BUTTONRADIO = 0x0004,
    DFCS_BUTTON3STATE = 0x0008,
    DFCS_BUTTONPUSH = 0x0010,

    DFCS_INACTIVE = 0x0100,
    DFCS_PUSHED = 0x0200,
    DFCS_CHECKED = 0x0400,
    DFCS_TRANSPARENT = 0x0800,
    DFCS_HOT = 0x1000,
    DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000,
};

// 3-D edges.
enum EdgeKind : unsigned {
    BDR_RAISEDOUTER = 0x0001,
    BDR_SUNKENOUTER = 0x0002,
    BDR_RAISEDINNER = 0x0004,
    BDR_SUNKENINNER = 0x0008,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};

enum EdgeFlags : unsigned {
    BF_LEFT = 0x0001,
    BF_TOP = 0x0002,
    BF_RIGHT = 0x0004,
    BF_BOTTOM = 0x0008,
    BF_RECT = 0x000F,
    BF_MIDDLE = 0x0800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000,
};

enum BkMode : int { TRANSPARENT = 1, OPAQUE = 2 };

enum TextAlign : unsigned {
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

enum MapMode : int { MM_TEXT = 1, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };

enum PenStyle : int { PS_SOLID = 0, PS_DOT = 2, PS_NULL = 5 };

// Decodes single-byte text with a table (the default one when null).
QString DecodeText(std::string_view text, const CharTable* pTable = nullptr);

class CDrawContext {
public:
    // Draws with a painter already active on its device. rcClipBox is the part
    // that needs painting (a paint event's rectangle); drawing never leaves it.
    CDrawContext(QPainter& painter, const Rect& rcClipBox);
    // With bPainterClipped the painter already keeps to rcClipBox (a widget's
    // paint event does), so the context sets no clip of its own for it.
    CDrawContext(QPainter& painter, const Rect& rcClipBox, bool bPainterClipped);
    // Draws on an image; all of it may be painted.
    explicit CDrawContext(QImage& image);
    ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    QPainter& GetPainter() { return *m_pPainter; }

    // Text state. SelectFont returns the font it replaces (never null: a
    // context starts with the default GUI font); a null argument changes nothing.
    const CFont* SelectFont(const CFont* pFont);
    const CFont* GetFont() const { return m_pFont; }
    Color SetTextColor(Color clr);
    Color GetTextColor() const { return m_clrText; }
    Color SetBkColor(Color clr);
    Color GetBkColor() const { return m_clrBk; }
    int SetBkMode(int nMode);
    int GetBkMode() const { return m_nBkMode; }
    unsigned SetTextAlign(unsigned nAlign);
    unsigned GetTextAlign() const { return m_nTextAlign; }
    void SetCharTable(const CharTable* pTable) { m_pCharTable = pTable ? pTable : &Windows1252CharTable(); }
    // Text is decoded by this codec (not owned; it outlives the drawing):
    // its table for single-byte pages, whole strings for multi-byte text.
    void SetTextCodec(const CTextCodec* pCodec);

    // Lines: the pen draws from the current position up to, not including,
    // the end point, so joined segments never paint a pixel twice.
    void SelectPen(Color clr, int nWidth = 1, int nStyle = PS_SOLID);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);

    // Shapes.
    void FillSolidRect(const Rect& rc, Color clr);
    void FrameRect(const Rect& rc, Color clr);  // one-pixel outline inside rc
    void Draw3dRect(const Rect& rc, Color clrTopLeft, Color clrBottomRight);
    // Draws edges of the given kind; with BF_ADJUST rc shrinks past them.
    bool DrawEdge(Rect& rc, unsigned nEdge, unsigned nFlags);
    void FillPolygon(const Point* pPoints, int nCount, Color clr);
    void InvertRect(const Rect& rc);
    // The dotted focus rectangle: dots in the text colour, gaps in the
    // background colour.
    void DrawFocusRect(const Rect& rc);
    // A frame control of the given kind and state in the desktop's style;
    // false when the kind is unknown or the rectangle is empty.
    bool DrawFrameControl(const Rect& rc, unsigned nKind, unsigned nState);

    // Text. DrawText returns the height of the drawn text; with DT_CALCRECT it
    // sets rc's right and bottom to the text's extent and draws nothing.
    int DrawText(std::string_view text, Rect& rc, unsigned nFlags);
    void TextOut(int x, int y, std::string_view text);
    Size GetTextExtent(std::string_view text) const;
    TextMetrics GetTextMetrics() const;

    // Pictures, scaled into the destination rectangle.
    void DrawPicture(const CPicture& picture, const Rect& rcDest, bool bDisabled = false);
    // Draws an image of a list; false when there is no list or no such image.
    bool DrawImageList(const ImageListDrawParams& params);

    // Clipping, in logical coordinates. SelectClipRect(nullptr) removes the
    // clip set by the caller; the area given at construction always applies.
    Rect GetClipBox() const;
    void SelectClipRect(const Rect* pRect);
    void IntersectClipRect(const Rect& rc);

    // Mapping from logical to device coordinates:
    // device = (logical - window origin) * viewport extent / window extent + viewport origin.
    // Extents only count in MM_ISOTROPIC and MM_ANISOTROPIC (1:1 in MM_TEXT).
    int SetMapMode(int nMode);
    int GetMapMode() const { return m_nMapMode; }
    Size SetWindowExt(int cx, int cy);
    Size SetViewportExt(int cx, int cy);
    Point SetWindowOrg(int x, int y);
    Point SetViewportOrg(int x, int y);
    Point LPtoDP(Point pt) const;
    Point DPtoLP(Point pt) const;
    Rect LPtoDP(const Rect& rc) const;
    Rect DPtoLP(const Rect& rc) const;

private:
    void Init(const Rect& rcClipBox, bool bPainterClipped);
    void ApplyMapping();
    void ApplyClip();
    void UsePainterFont();
    void UsePainterTextPen();
    void FillDevice(int x, int y, int cx, int cy, Color clr);
    void PlotLine(int x0, int y0, int x1, int y1);
    bool MeasureGlyphs(std::string_view text, int& nWidth) const;
    bool DrawTextFast(std::string_view text, Rect& rc, unsigned nFlags, int& nHeight);
    int DrawTextLaidOut(const QString& text, Rect& rc, unsigned nFlags);
    QString Decode(std::string_view text) const;

    std::unique_ptr<QPainter> m_pOwnPainter;
    QPainter* m_pPainter = nullptr;

    CFont m_fontDefault;
    const CFont* m_pFont = nullptr;
    const CFont* m_pPainterFont = nullptr;
    unsigned m_nPainterFontGeneration = 0;
    Color m_clrText = 0;
    Color m_clrBk = Rgb(255, 255, 255);
    Color m_clrPainterPen = 0xFFFFFFFFu;  // impossible colour: the painter's pen is unknown
    int m_nBkMode = OPAQUE;
    unsigned m_nTextAlign = TA_LEFT | TA_TOP;
    const CharTable* m_pCharTable;
    const CTextCodec* m_pWholeText = nullptr;  // set for multi-byte text only

    Color m_clrPen = 0;
    int m_nPenWidth = 1;
    int m_nPenStyle = PS_SOLID;
    Point m_ptCurrent;

    Rect m_rcBaseDevice;    // the area that needs painting, in device pixels
    Rect m_rcClipDevice;    // the effective clip, in device pixels
    bool m_bUserClip = false;
    bool m_bBaseClipped = false;  // the painter itself keeps to the base rectangle

    int m_nMapMode = MM_TEXT;
    Size m_sizeWindowExt{1, 1};
    Size m_sizeViewportExt{1, 1};
    Point m_ptWindowOrg;
    Point m_ptViewportOrg;
    bool m_bIdentity = true;
};

}  // namespace platform
