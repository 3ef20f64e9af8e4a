// Device-context drawing for the window layer and the controls: memory
// bitmaps, regions, pens, brushes, fonts, text and blits, with the pixel
// conventions the controls were written against. Bitmaps are Cairo image
// surfaces, polygons are filled and PNG files read and written by Cairo,
// text is shaped and rasterised by Pango; everything runs without a display.
//
// Colours are COLORREF values 0x00BBGGRR. Pixels in bitmaps are 32-bit,
// bytes B, G, R, A. Text is UTF-8. Handles are checked on every call: a
// deleted or foreign handle gives the call's failure answer instead of a
// crash (as long as no new object has taken over its memory).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qelo::win {

using COLORREF = uint32_t;
using BOOL = int;  // nonzero: success

struct POINT {
  int32_t x = 0;
  int32_t y = 0;
};
struct SIZE {
  int32_t cx = 0;
  int32_t cy = 0;
};
struct RECT {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
         (static_cast<COLORREF>(b) << 16);
}
constexpr uint8_t GetRValue(COLORREF c) { return c & 0xFF; }
constexpr uint8_t GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
constexpr uint8_t GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// ---- handles -------------------------------------------------------------

struct GdiObject;
struct PenObject;
struct BrushObject;
struct FontObject;
struct BitmapObject;
struct RegionObject;
struct PaletteObject;
struct DeviceContext;
using HPEN = PenObject*;
using HBRUSH = BrushObject*;
using HFONT = FontObject*;
using HBITMAP = BitmapObject*;
using HRGN = RegionObject*;
using HPALETTE = PaletteObject*;
using HDC = DeviceContext*;

// Any drawing object. Made from any object handle; turned back into one
// with static_cast, which gives nullptr unless the handle is a live object
// of that kind.
class HGDIOBJ {
 public:
  HGDIOBJ() = default;
  HGDIOBJ(std::nullptr_t) {}
  HGDIOBJ(PenObject* object);
  HGDIOBJ(BrushObject* object);
  HGDIOBJ(FontObject* object);
  HGDIOBJ(BitmapObject* object);
  HGDIOBJ(RegionObject* object);
  HGDIOBJ(PaletteObject* object);
  explicit operator PenObject*() const;
  explicit operator BrushObject*() const;
  explicit operator FontObject*() const;
  explicit operator BitmapObject*() const;
  explicit operator RegionObject*() const;
  explicit operator PaletteObject*() const;
  GdiObject* get() const { return object_; }
  friend bool operator==(HGDIOBJ a, HGDIOBJ b) { return a.object_ == b.object_; }

 private:
  GdiObject* object_ = nullptr;
};

// ---- rectangles ----------------------------------------------------------

BOOL IsRectEmpty(const RECT* r);
BOOL InflateRect(RECT* r, int dx, int dy);
BOOL OffsetRect(RECT* r, int dx, int dy);
BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* out, const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* r, POINT p);
BOOL EqualRect(const RECT* a, const RECT* b);

// number x numerator / denominator in 64 bits, rounded half away from
// zero; -1 for a denominator of 0 or a result beyond 32 bits.
int MulDiv(int number, int numerator, int denominator);

// ---- objects -------------------------------------------------------------

constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// Stock objects live as long as the process; deleting one does nothing.
HGDIOBJ GetStockObject(int index);
// Fails (0) for an object still selected into a device context or kept
// in a saved state of one, so that no context is left drawing with freed
// memory.
BOOL DeleteObject(HGDIOBJ object);

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;

// Styled (dash, dot) pens are one pixel wide, as cosmetic pens are; a wider
// styled pen draws solid. Width 0 is one pixel; widths beyond kMaxPenWidth
// are drawn that wide.
constexpr int kMaxPenWidth = 1024;
HPEN CreatePen(int style, int width, COLORREF color);

HBRUSH CreateSolidBrush(COLORREF color);
// An 8x8 pattern taken from the top-left of the bitmap (a copy is kept).
// A monochrome pattern paints its 0 bits in the text colour and its 1 bits
// in the background colour of the context it is used on.
HBRUSH CreatePatternBrush(HBITMAP bitmap);

// ---- bitmaps -------------------------------------------------------------

struct BITMAP {
  int32_t bmType = 0;
  int32_t bmWidth = 0;
  int32_t bmHeight = 0;
  int32_t bmWidthBytes = 0;
  uint16_t bmPlanes = 1;
  uint16_t bmBitsPixel = 0;
  void* bmBits = nullptr;
};

// bitsPerPixel 1 (monochrome) or 32. Initial bits, when given, are rows of
// the platform's layout: 1-bit rows padded to 16 bits, most significant bit
// first, 1 = white; 32-bit rows of B, G, R, A. Contents start black.
HBITMAP CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel,
                     const void* bits);
// Monochrome when the context's bitmap is monochrome (as a fresh memory
// context's default bitmap is), else 32-bit.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);

struct BITMAPINFOHEADER {
  uint32_t biSize = sizeof(BITMAPINFOHEADER);
  int32_t biWidth = 0;
  int32_t biHeight = 0;  // negative: rows run top-down
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 32;
  uint32_t biCompression = 0;
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};
constexpr uint32_t BI_RGB = 0;
constexpr unsigned DIB_RGB_COLORS = 0;

// A 32-bit top-down DIB section (biHeight < 0, BI_RGB) whose zeroed pixels
// the caller reads and writes through *bits. Bottom-up and other depths are
// refused (nullptr): the pixels are shared with the rasteriser, which runs
// top-down.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFOHEADER* info, unsigned usage, void** bits);
// A 32-bit top-down bitmap over `bits`, the caller's rows of width x 4
// bytes, drawn into in place and never copied or freed: they must outlive
// the bitmap. What a DIB section over the caller's own memory gives.
HBITMAP CreateBitmapOverBits(int width, int height, void* bits);

// Bitmaps fill a BITMAP: bmBits points at the 32-bit pixels (B, G, R, A,
// rows top-down); it is null for monochrome bitmaps. Fonts fill a LOGFONT
// (`out` points at a constructed one) with what they were made from.
int GetObject(HGDIOBJ object, int size, void* out);

// Loads a BMP (1, 4, 8, 24 or 32 bits, uncompressed) or PNG as a 32-bit
// bitmap. nullptr for a missing, unreadable or malformed file.
HBITMAP LoadBitmapFromFile(const std::string& path);
HBITMAP LoadBitmapFromMemory(const void* data, size_t size);
// Writes the bitmap's colours (alpha ignored, as the screen ignores it).
BOOL SaveBitmapToPng(HBITMAP bitmap, const std::string& path);
BOOL SaveDCToPng(HDC dc, const std::string& path);

// ---- regions -------------------------------------------------------------

constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* r);
// Rounded and elliptic regions cover what RoundRect and Ellipse fill with a
// null pen: left..right-2 and top..bottom-2, so a region for a whole
// window of w x h is made from (0, 0, w + 1, h + 1).
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, RECT* box);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* r);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height);

// ---- device contexts -------------------------------------------------------

// A memory context (the argument is ignored) holding a 1x1 monochrome
// default bitmap until a bitmap is selected.
HDC CreateCompatibleDC(HDC reference);
// A context for measuring and for making full-colour compatible bitmaps; it
// draws into a 1x1 bitmap of its own.
HDC CreateDisplayDC();
// For the window layer: a context drawing into `area` of `surface`, its
// device origin at the area's top-left, clipped to the area. Window and
// client contexts are made this way (the client area is the window's area
// moved by the non-client offset).
HDC CreateSurfaceDC(HBITMAP surface, const RECT& area);
// For the window layer: limits a surface context to a region (device
// units) no clip region can widen, such as the window's region less its
// clipped children, or the update region while painting. nullptr lifts the
// limit. Fails for other contexts.
BOOL SetSystemClip(HDC dc, HRGN region);
BOOL DeleteDC(HDC dc);

// Pens, brushes, fonts and bitmaps; regions go through SelectClipRgn.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, unsigned type);
constexpr unsigned OBJ_PEN = 1;
constexpr unsigned OBJ_BRUSH = 2;
constexpr unsigned OBJ_FONT = 6;
constexpr unsigned OBJ_BITMAP = 7;
constexpr unsigned OBJ_PAL = 5;

// ---- palettes --------------------------------------------------------------
// The display shows more than 256 colours: a palette selected and realized
// maps nothing (RealizePalette answers 0) and colours draw as they are; a
// palette carries the colours a picture was made with.

struct PALETTEENTRY {
  uint8_t peRed = 0;
  uint8_t peGreen = 0;
  uint8_t peBlue = 0;
  uint8_t peFlags = 0;
};
struct LOGPALETTE {
  uint16_t palVersion = 0x300;
  std::vector<PALETTEENTRY> palPalEntry;
};
struct RGBQUAD {
  uint8_t rgbBlue = 0;
  uint8_t rgbGreen = 0;
  uint8_t rgbRed = 0;
  uint8_t rgbReserved = 0;
};
HPALETTE CreatePalette(const LOGPALETTE* palette);
// The entries from `start` on, at most `count`, into `out`; how many. A
// null `out` answers the palette's size.
unsigned GetPaletteEntries(HPALETTE palette, unsigned start, unsigned count, PALETTEENTRY* out);
// The context's palette (null at first); the previous one.
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
// How many entries were mapped into the system palette: none here.
unsigned RealizePalette(HDC dc);
// The colour table of the bitmap selected into the context: that of a
// picture of 256 colours or fewer it was loaded from, else none (0).
unsigned GetDIBColorTable(HDC dc, unsigned start, unsigned count, RGBQUAD* out);

// Saves pens, brushes, fonts, colours, modes, origins, the current position
// and the clip region (not the selected bitmap). Returns the new saved level
// (1 for the first), 0 on failure.
int SaveDC(HDC dc);
// A negative level is relative to the current one (-1: the last save).
BOOL RestoreDC(HDC dc, int level);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);

constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;
int SetROP2(HDC dc, int mode);

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT* origin);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous);

// Clipping. Regions given to SelectClipRgn are in device units; the
// rectangles of the other calls are logical (the viewport origin applies).
int SelectClipRgn(HDC dc, HRGN region);
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
// The clip box in logical units; ERROR for a bad context.
int GetClipBox(HDC dc, RECT* box);
// 1 and a copy in `region` when a clip region is selected, 0 when none, -1
// on error.
int GetClipRgn(HDC dc, HRGN region);

constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int BITSPIXEL = 12;
constexpr int NUMCOLORS = 24;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
int GetDeviceCaps(HDC dc, int index);

// ---- drawing -------------------------------------------------------------

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// Draws from the current position to (x, y), leaving out the end pixel.
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
// Outline and fill of a closed shape. Rectangle, RoundRect and Ellipse
// cover left..right-1 and top..bottom-1; a polygon's outline passes through
// its vertices.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int ellipseWidth,
               int ellipseHeight);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;
int SetPolyFillMode(HDC dc, int mode);
BOOL Polygon(HDC dc, const POINT* points, int count);

int FillRect(HDC dc, const RECT* r, HBRUSH brush);
int FrameRect(HDC dc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* r);
// A dotted frame of every other pixel, drawn by inverting, so a second call
// removes it.
BOOL DrawFocusRect(HDC dc, const RECT* r);

// ---- raster operations and blits ----------------------------------------

constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t SRCPAINT = 0x00EE0086;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCINVERT = 0x00660046;
constexpr uint32_t SRCERASE = 0x00440328;
constexpr uint32_t NOTSRCCOPY = 0x00330008;
constexpr uint32_t NOTSRCERASE = 0x001100A6;
constexpr uint32_t MERGECOPY = 0x00C000CA;
constexpr uint32_t MERGEPAINT = 0x00BB0226;
constexpr uint32_t PATCOPY = 0x00F00021;
constexpr uint32_t PATPAINT = 0x00FB0A09;
constexpr uint32_t PATINVERT = 0x005A0049;
constexpr uint32_t DSTINVERT = 0x00550009;
constexpr uint32_t BLACKNESS = 0x00000042;
constexpr uint32_t WHITENESS = 0x00FF0062;

// Any ternary raster operation is honoured (its truth table is the third
// byte). Colour to monochrome: the source context's background colour
// becomes 1 (white), all else 0. Monochrome to colour: 0 becomes the
// destination's text colour, 1 its background colour.
BOOL PatBlt(HDC dc, int x, int y, int width, int height, uint32_t rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
            uint32_t rop);
// Nearest-pixel stretching. A negative width or height runs back from its
// coordinate, that pixel included (x + width + 1 .. x), so opposite signs
// on the two sides mirror: StretchBlt(d, w - 1, 0, -w, h, s, 0, 0, w, h)
// flips horizontally.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, uint32_t rop);
// Copies (stretching) every source pixel whose colour is not `transparent`.
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX,
                    int srcY, int srcWidth, int srcHeight, COLORREF transparent);

constexpr uint8_t AC_SRC_OVER = 0;
constexpr uint8_t AC_SRC_ALPHA = 1;
struct BLENDFUNCTION {
  uint8_t BlendOp = AC_SRC_OVER;
  uint8_t BlendFlags = 0;
  uint8_t SourceConstantAlpha = 255;
  uint8_t AlphaFormat = 0;
};
// With AC_SRC_ALPHA the source's pixels are taken as premultiplied by
// their alpha; the constant alpha scales them further.
BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, BLENDFUNCTION blend);

// ---- fonts and text ------------------------------------------------------

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr uint8_t DEFAULT_PITCH = 0;
constexpr uint8_t FIXED_PITCH = 1;
constexpr uint8_t VARIABLE_PITCH = 2;

// lfHeight < 0: character (em) height in pixels; > 0: cell height
// (ascent + descent); 0: the default size. lfEscapement in tenths of a
// degree, counter-clockwise (TextOut and ExtTextOut turn the line; DrawText
// lays out unturned). lfWidth, lfOrientation, the precisions and the
// quality are kept but do not change the drawing.
struct LOGFONT {
  int32_t lfHeight = 0;
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;
  int32_t lfOrientation = 0;
  int32_t lfWeight = FW_NORMAL;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 1;
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = DEFAULT_PITCH;
  std::string lfFaceName;
};

// Logical height for a size in points at 96 pixels per inch.
int32_t PointsToFontHeight(int points);

// A face that is not installed is replaced by an installed sans face.
HFONT CreateFontIndirect(const LOGFONT* font);
// The face the font really draws with.
int GetTextFace(HDC dc, std::string* face);

constexpr uint8_t TMPF_FIXED_PITCH = 0x01;  // set for variable pitch fonts
constexpr uint8_t TMPF_VECTOR = 0x02;
constexpr uint8_t TMPF_TRUETYPE = 0x04;  // scalable outline face
constexpr uint8_t TMPF_DEVICE = 0x08;
struct TEXTMETRIC {
  int32_t tmHeight = 0;
  int32_t tmAscent = 0;
  int32_t tmDescent = 0;
  int32_t tmInternalLeading = 0;
  int32_t tmExternalLeading = 0;
  int32_t tmAveCharWidth = 0;
  int32_t tmMaxCharWidth = 0;
  int32_t tmWeight = 0;
  uint8_t tmItalic = 0;
  uint8_t tmUnderlined = 0;
  uint8_t tmStruckOut = 0;
  uint8_t tmPitchAndFamily = 0;
  uint8_t tmCharSet = 1;
};
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* metrics);
BOOL GetTextExtentPoint32(HDC dc, std::string_view text, SIZE* size);

constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;
constexpr unsigned TA_RTLREADING = 256;
unsigned SetTextAlign(HDC dc, unsigned align);
unsigned GetTextAlign(HDC dc);

BOOL TextOut(HDC dc, int x, int y, std::string_view text);
constexpr unsigned ETO_OPAQUE = 0x0002;
constexpr unsigned ETO_CLIPPED = 0x0004;
BOOL ExtTextOut(HDC dc, int x, int y, unsigned options, const RECT* r, std::string_view text);

constexpr unsigned DT_TOP = 0x00000000;
constexpr unsigned DT_LEFT = 0x00000000;
constexpr unsigned DT_CENTER = 0x00000001;
constexpr unsigned DT_RIGHT = 0x00000002;
constexpr unsigned DT_VCENTER = 0x00000004;
constexpr unsigned DT_BOTTOM = 0x00000008;
constexpr unsigned DT_WORDBREAK = 0x00000010;
constexpr unsigned DT_SINGLELINE = 0x00000020;
constexpr unsigned DT_EXPANDTABS = 0x00000040;
constexpr unsigned DT_NOCLIP = 0x00000100;
constexpr unsigned DT_CALCRECT = 0x00000400;
constexpr unsigned DT_NOPREFIX = 0x00000800;
// With DT_WORDBREAK: a word wider than the line is broken where the line
// ends, as a multi-line edit breaks it.
constexpr unsigned DT_EDITCONTROL = 0x00002000;
constexpr unsigned DT_PATH_ELLIPSIS = 0x00004000;
constexpr unsigned DT_END_ELLIPSIS = 0x00008000;
constexpr unsigned DT_RTLREADING = 0x00020000;
constexpr unsigned DT_HIDEPREFIX = 0x00100000;

// Draws or (DT_CALCRECT) measures formatted text; returns the text's height,
// or for DT_VCENTER and DT_BOTTOM the distance from the rectangle's top to
// the bottom of the text. DT_CALCRECT sets the rectangle's right and bottom
// to the text's extent and draws nothing. "&x" underlines x unless
// DT_NOPREFIX; "&&" is one ampersand.
int DrawText(HDC dc, std::string_view text, RECT* r, unsigned format);

// ---- frames, controls and system colours ---------------------------------

constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;

// The fixed classic palette; 0 for an index outside 0..30.
COLORREF GetSysColor(int index);
// A stock brush of the colour (nullptr outside 0..30).
HBRUSH GetSysColorBrush(int index);

constexpr unsigned BDR_RAISEDOUTER = 0x0001;
constexpr unsigned BDR_SUNKENOUTER = 0x0002;
constexpr unsigned BDR_RAISEDINNER = 0x0004;
constexpr unsigned BDR_SUNKENINNER = 0x0008;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x0001;
constexpr unsigned BF_TOP = 0x0002;
constexpr unsigned BF_RIGHT = 0x0004;
constexpr unsigned BF_BOTTOM = 0x0008;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_MIDDLE = 0x0800;
constexpr unsigned BF_SOFT = 0x1000;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;
// Each border is one pixel per side; BF_ADJUST shrinks the rectangle by
// what was drawn. Diagonal edges are not drawn.
BOOL DrawEdge(HDC dc, RECT* r, unsigned edge, unsigned flags);

constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_BUTTONCHECK = 0x0000;
constexpr unsigned DFCS_BUTTONRADIO = 0x0004;
constexpr unsigned DFCS_BUTTON3STATE = 0x0008;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;
constexpr unsigned DFCS_SCROLLUP = 0x0000;
constexpr unsigned DFCS_SCROLLDOWN = 0x0001;
constexpr unsigned DFCS_SCROLLLEFT = 0x0002;
constexpr unsigned DFCS_SCROLLRIGHT = 0x0003;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr unsigned DFCS_INACTIVE = 0x0100;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_CHECKED = 0x0400;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;
// The classic check box, radio button, push button, combo-box button and
// scroll arrows. 0 for a kind it does not draw.
BOOL DrawFrameControl(HDC dc, RECT* r, unsigned kind, unsigned state);

}  // namespace qelo::win
