// Bitmap creation, DIB sections, loading and writing; system colours,
// edges and frame controls; the screenshot sheet.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "canvas.h"
#include "common/temp_dir.h"

namespace qelo::test {
namespace {

void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
  v[at] = x & 0xFF;
  v[at + 1] = x >> 8;
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

// A BMP file of the given depth, bottom-up, with a two-entry palette for
// the paletted depths (red, blue) and row data `rows` (top row first).
std::vector<uint8_t> MakeBmp(int width, int height, int bpp, const std::vector<std::vector<uint8_t>>& rows) {
  const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
  const size_t palette = bpp <= 8 ? 2 * 4 : 0;
  const size_t offset = 14 + 40 + palette;
  std::vector<uint8_t> file(offset + stride * height, 0);
  Put16(file, 0, 0x4D42);
  Put32(file, 2, static_cast<uint32_t>(file.size()));
  Put32(file, 10, static_cast<uint32_t>(offset));
  Put32(file, 14, 40);
  Put32(file, 18, width);
  Put32(file, 22, height);
  Put16(file, 26, 1);
  Put16(file, 28, bpp);
  if (palette) {
    Put32(file, 46, 2);
    Put32(file, 54, 0x00FF0000);  // entry 0: red (B, G, R, 0 bytes)
    Put32(file, 58, 0x000000FF);  // entry 1: blue
  }
  for (int y = 0; y < height; ++y) {
    std::memcpy(&file[offset + stride * (height - 1 - y)], rows[y].data(), rows[y].size());
  }
  return file;
}

COLORREF PixelOf(HBITMAP b, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, b);
  const COLORREF c = GetPixel(dc, x, y);
  DeleteDC(dc);
  return c;
}

TEST(GdiBitmaps, LoadsBmpOfEveryDepth) {
  struct Case {
    int bpp;
    std::vector<std::vector<uint8_t>> rows;
  };
  // Each image is 2 x 2: top row (red, blue), bottom row (blue, red).
  const Case cases[] = {
      {1, {{0x40}, {0x80}}},
      {4, {{0x01}, {0x10}}},
      {8, {{0, 1}, {1, 0}}},
      {24, {{0, 0, 255, 255, 0, 0}, {255, 0, 0, 0, 0, 255}}},
      {32, {{0, 0, 255, 0, 255, 0, 0, 0}, {255, 0, 0, 0, 0, 0, 255, 0}}},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> file = MakeBmp(2, 2, c.bpp, c.rows);
    HBITMAP b = LoadBitmapFromMemory(file.data(), file.size());
    ASSERT_NE(b, nullptr) << c.bpp;
    EXPECT_EQ(PixelOf(b, 0, 0), kRed) << c.bpp;
    EXPECT_EQ(PixelOf(b, 1, 0), kBlue) << c.bpp;
    EXPECT_EQ(PixelOf(b, 0, 1), kBlue) << c.bpp;
    EXPECT_EQ(PixelOf(b, 1, 1), kRed) << c.bpp;
    DeleteObject(b);
  }
}

// A picture of few colours keeps its colour table; a palette selected into
// a context changes no colour on this display and stays until deselected.
TEST(GdiPalettes, ColourTablesAndPalettes) {
  auto tableOf = [](HBITMAP b) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    RGBQUAD table[4];
    const unsigned n = GetDIBColorTable(dc, 0, 4, table);
    SelectObject(dc, old);
    DeleteDC(dc);
    return std::vector<RGBQUAD>(table, table + n);
  };
  const std::vector<uint8_t> indexed = MakeBmp(2, 2, 8, {{0, 1}, {1, 0}});
  HBITMAP few = LoadBitmapFromMemory(indexed.data(), indexed.size());
  const std::vector<RGBQUAD> table = tableOf(few);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].rgbRed, 255);
  EXPECT_EQ(table[1].rgbBlue, 255);
  const std::vector<uint8_t> deep = MakeBmp(1, 1, 24, {{1, 2, 3}});
  HBITMAP many = LoadBitmapFromMemory(deep.data(), deep.size());
  EXPECT_TRUE(tableOf(many).empty());

  LOGPALETTE log;
  log.palPalEntry = {{255, 0, 0, 0}, {0, 0, 255, 0}};
  HPALETTE palette = CreatePalette(&log);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 2u);
  PALETTEENTRY second;
  EXPECT_EQ(GetPaletteEntries(palette, 1, 1, &second), 1u);
  EXPECT_EQ(second.peBlue, 255);

  Canvas canvas(4, 4);
  EXPECT_EQ(SelectPalette(canvas.dc(), palette, 0), nullptr);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PAL), HGDIOBJ(palette));
  EXPECT_EQ(RealizePalette(canvas.dc()), 0u) << "nothing to map on a display of many colours";
  EXPECT_FALSE(DeleteObject(palette)) << "selected";
  SelectPalette(canvas.dc(), nullptr, 0);
  EXPECT_TRUE(DeleteObject(palette));
  DeleteObject(few);
  DeleteObject(many);
}

TEST(GdiBitmaps, MalformedFilesAreRefused) {
  std::vector<uint8_t> file = MakeBmp(2, 2, 24, {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}});
  EXPECT_EQ(LoadBitmapFromMemory(file.data(), file.size() - 1), nullptr) << "truncated pixels";
  std::vector<uint8_t> huge = file;
  Put32(huge, 18, 100000);
  EXPECT_EQ(LoadBitmapFromMemory(huge.data(), huge.size()), nullptr) << "size beyond the data";
  std::vector<uint8_t> compressed = file;
  Put32(compressed, 30, 1);
  EXPECT_EQ(LoadBitmapFromMemory(compressed.data(), compressed.size()), nullptr);
  const char junk[] = "\x89PNG\r\n\x1a\nnot really";
  EXPECT_EQ(LoadBitmapFromMemory(junk, sizeof junk), nullptr);
  EXPECT_EQ(LoadBitmapFromFile("/nonexistent/picture.png"), nullptr);
  EXPECT_EQ(LoadBitmapFromMemory(file.data(), 10), nullptr);
}

TEST(GdiBitmaps, PngWrittenAndReadBackKeepsThePixels) {
  TempDir dir;
  Canvas canvas(5, 3);
  SetPixel(canvas.dc(), 4, 2, kRed);
  SetPixel(canvas.dc(), 0, 1, RGB(1, 2, 3));
  ASSERT_TRUE(SaveDCToPng(canvas.dc(), dir.File("shot.png")));
  HBITMAP loaded = LoadBitmapFromFile(dir.File("shot.png"));
  ASSERT_NE(loaded, nullptr);
  BITMAP info;
  GetObject(loaded, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 5);
  EXPECT_EQ(info.bmHeight, 3);
  EXPECT_EQ(PixelOf(loaded, 4, 2), kRed);
  EXPECT_EQ(PixelOf(loaded, 0, 1), RGB(1, 2, 3));
  EXPECT_EQ(PixelOf(loaded, 2, 2), kWhite);
  DeleteObject(loaded);
  EXPECT_FALSE(SaveBitmapToPng(canvas.bitmap(), dir.File("missing/folder/shot.png")));
}

TEST(GdiBitmaps, DibSectionSharesItsPixels) {
  BITMAPINFOHEADER info;
  info.biWidth = 3;
  info.biHeight = -2;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits);
  ASSERT_NE(dib, nullptr);
  auto* pixels = static_cast<uint8_t*>(bits);
  pixels[(1 * 3 + 2) * 4 + 2] = 255;  // row 1, column 2, red byte
  EXPECT_EQ(PixelOf(dib, 2, 1), kRed);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, dib);
  SetPixel(dc, 0, 0, kBlue);
  DeleteDC(dc);
  EXPECT_EQ(pixels[0], 255);  // blue byte first
  DeleteObject(dib);
  info.biHeight = 2;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits), nullptr) << "bottom-up refused";
  info.biHeight = -2;
  info.biBitCount = 24;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits), nullptr);
  EXPECT_EQ(CreateBitmap(0, 4, 1, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(4, 4, 1, 8, nullptr), nullptr);
}

TEST(GdiBitmaps, ABitmapOverTheCallersBitsDrawsInPlaceAndLeavesThemToTheCaller) {
  std::vector<uint32_t> bits(3 * 2, 0xFF000000u);
  bits[4] = 0xFFFF0000u;  // row 1, column 1: red
  HBITMAP over = CreateBitmapOverBits(3, 2, bits.data());
  ASSERT_NE(over, nullptr);
  EXPECT_EQ(PixelOf(over, 1, 1), kRed);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, over);
  SetPixel(dc, 2, 0, kBlue);
  DeleteDC(dc);
  EXPECT_EQ(bits[2] & 0xFFFFFF, 0x0000FFu) << "drawn into the caller's row";
  DeleteObject(over);
  EXPECT_EQ(bits[4], 0xFFFF0000u) << "still the caller's, untouched by the deletion";
  EXPECT_EQ(CreateBitmapOverBits(3, 2, nullptr), nullptr);
  EXPECT_EQ(CreateBitmapOverBits(0, 2, bits.data()), nullptr);
}

TEST(GdiSystem, ClassicPaletteAndBrushes) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  EXPECT_EQ(GetSysColor(31), 0u);
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColorBrush(31), nullptr);
  Canvas canvas(2, 2);
  RECT r{0, 0, 2, 2};
  FillRect(canvas.dc(), &r, GetSysColorBrush(COLOR_HIGHLIGHT));
  EXPECT_EQ(canvas.At(1, 1), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(GetDeviceCaps(canvas.dc(), NUMCOLORS), -1);
  EXPECT_EQ(GetDeviceCaps(canvas.dc(), LOGPIXELSY), 96);
}

TEST(GdiFrames, EdgesUseTheClassicColoursAndAdjust) {
  struct Case {
    unsigned edge;
    COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
  };
  const COLORREF light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW),
                 hi = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  const Case cases[] = {{EDGE_RAISED, light, dark, hi, shadow},
                        {EDGE_SUNKEN, shadow, hi, dark, light},
                        {EDGE_ETCHED, shadow, hi, hi, shadow},
                        {EDGE_BUMP, light, dark, dark, light}};
  for (const Case& c : cases) {
    Canvas canvas(10, 10, kRed);
    RECT r{0, 0, 10, 10};
    ASSERT_TRUE(DrawEdge(canvas.dc(), &r, c.edge, BF_RECT | BF_ADJUST));
    EXPECT_EQ(canvas.At(0, 5), c.outerTopLeft) << c.edge;
    EXPECT_EQ(canvas.At(9, 5), c.outerBottomRight) << c.edge;
    EXPECT_EQ(canvas.At(9, 0), c.outerBottomRight) << "the right line owns the top-right corner";
    EXPECT_EQ(canvas.At(0, 9), c.outerBottomRight) << "the bottom line owns the bottom-left corner";
    EXPECT_EQ(canvas.At(5, 1), c.innerTopLeft) << c.edge;
    EXPECT_EQ(canvas.At(5, 8), c.innerBottomRight) << c.edge;
    EXPECT_EQ(canvas.At(5, 5), kRed);
    const RECT inner{2, 2, 8, 8};
    EXPECT_TRUE(EqualRect(&r, &inner));
  }
  Canvas canvas(10, 10, kRed);
  RECT top{0, 0, 10, 10};
  DrawEdge(canvas.dc(), &top, BDR_RAISEDINNER, BF_TOP | BF_MIDDLE);
  EXPECT_EQ(canvas.At(5, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas.At(5, 9), GetSysColor(COLOR_BTNFACE)) << "the middle is filled, no bottom line";
}

TEST(GdiFrames, FrameControlsShowTheirState) {
  auto count = [](unsigned kind, unsigned state, COLORREF color) {
    Canvas canvas(16, 16, kRed);
    RECT r{1, 1, 14, 14};
    EXPECT_TRUE(DrawFrameControl(canvas.dc(), &r, kind, state));
    EXPECT_EQ(canvas.At(15, 15), kRed) << "stays in its rectangle";
    return canvas.Count(color);
  };
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_EQ(count(DFC_BUTTON, DFCS_BUTTONCHECK, text), 0);
  EXPECT_GT(count(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED, text), 5);
  EXPECT_GT(count(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, GetSysColor(COLOR_GRAYTEXT)), 5);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_GT(count(DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED, shadow),
            count(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED, shadow) + 5) << "a mixed box shows a shadowed mark";
  EXPECT_EQ(count(DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED, text), 0);
  EXPECT_GT(count(DFC_BUTTON, DFCS_BUTTON3STATE, face), count(DFC_BUTTON, DFCS_BUTTONCHECK, face) + 20)
      << "on the button face";
  EXPECT_EQ(count(DFC_BUTTON, DFCS_BUTTONRADIO, text), 0);
  EXPECT_GT(count(DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED, text), 3);
  for (unsigned arrow : {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT, DFCS_SCROLLCOMBOBOX}) {
    EXPECT_GT(count(DFC_SCROLL, arrow, GetSysColor(COLOR_BTNTEXT)), 2) << arrow;
  }
  Canvas canvas(8, 8);
  RECT r{0, 0, 8, 8};
  EXPECT_FALSE(DrawFrameControl(canvas.dc(), &r, 99, 0));
}

TEST(GdiFrames, ScrollArrowsPointTheirWay) {
  // The widest row of a down arrow is above its tip; of an up arrow below.
  auto widestRow = [](unsigned arrow) {
    Canvas canvas(17, 17);
    RECT r{0, 0, 17, 17};
    DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, arrow);
    int best = -1, bestCount = 0;
    for (int y = 2; y < 15; ++y) {
      int n = 0;
      for (int x = 2; x < 15; ++x) n += canvas.At(x, y) == GetSysColor(COLOR_BTNTEXT);
      if (n > bestCount) {
        bestCount = n;
        best = y;
      }
    }
    return best;
  };
  EXPECT_LT(widestRow(DFCS_SCROLLDOWN), 8);
  EXPECT_GT(widestRow(DFCS_SCROLLUP), 8);
}

// A sheet of everything, kept as a picture to look at in CI.
TEST(GdiSheet, DrawsATestSheetScreenshot) {
  Canvas sheet(320, 200, GetSysColor(COLOR_BTNFACE));
  HDC dc = sheet.dc();
  RECT edge{8, 8, 150, 60};
  DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  SetBkMode(dc, TRANSPARENT);
  LOGFONT log;
  log.lfFaceName = "Tahoma";
  log.lfHeight = PointsToFontHeight(8);
  HFONT font = CreateFontIndirect(&log);
  HGDIOBJ oldFont = SelectObject(dc, font);
  DrawText(dc, "&Raised edge with a caption that wraps", &edge, DT_WORDBREAK | DT_CENTER);
  RECT boxes[4] = {{160, 10, 173, 23}, {180, 10, 193, 23}, {200, 10, 213, 23}, {220, 10, 237, 27}};
  DrawFrameControl(dc, &boxes[0], DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  DrawFrameControl(dc, &boxes[1], DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  DrawFrameControl(dc, &boxes[2], DFC_BUTTON, DFCS_BUTTONCHECK);
  DrawFrameControl(dc, &boxes[3], DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
  RECT path{160, 40, 310, 56};
  DrawText(dc, "/home/user/Videos/a/very/long/folder/clip.avi", &path, DT_SINGLELINE | DT_PATH_ELLIPSIS);
  HBRUSH face = CreateSolidBrush(RGB(255, 255, 255));
  HGDIOBJ oldBrush = SelectObject(dc, face);
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(10, 36, 106));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Ellipse(dc, 10, 70, 70, 130);
  RoundRect(dc, 80, 70, 150, 130, 12, 12);
  const POINT tri[] = {{160, 130}, {200, 70}, {240, 130}};
  Polygon(dc, tri, 3);
  RECT focus{250, 70, 310, 130};
  DrawFocusRect(dc, &focus);
  log.lfEscapement = 900;
  HFONT rotated = CreateFontIndirect(&log);
  SelectObject(dc, rotated);
  SetTextAlign(dc, TA_BASELINE);
  TextOut(dc, 300, 190, "Rotated");
  SetTextAlign(dc, TA_TOP);
  SelectObject(dc, font);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  RECT bar{10, 150, 200, 170};
  ExtTextOut(dc, 14, 152, ETO_OPAQUE | ETO_CLIPPED, &bar, "Selected row, opaque and clipped");
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(font);
  DeleteObject(rotated);
  DeleteObject(face);
  DeleteObject(pen);
  ASSERT_TRUE(SaveDCToPng(dc, ScreenshotPath("gdi_sheet.png")));
  HBITMAP written = LoadBitmapFromFile(ScreenshotPath("gdi_sheet.png"));
  EXPECT_NE(written, nullptr);
  DeleteObject(written);
}

// A second sheet: every frame control and edge state, and the fonts the
// forms ask for, with their styles.
TEST(GdiSheet, DrawsAControlsAndFontsScreenshot) {
  Canvas sheet(360, 240, GetSysColor(COLOR_BTNFACE));
  HDC dc = sheet.dc();
  const unsigned states[] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_INACTIVE, DFCS_CHECKED | DFCS_INACTIVE, DFCS_FLAT};
  const unsigned kinds[][2] = {{DFC_BUTTON, DFCS_BUTTONCHECK}, {DFC_BUTTON, DFCS_BUTTONRADIO},
                               {DFC_BUTTON, DFCS_BUTTONPUSH},  {DFC_SCROLL, DFCS_SCROLLUP},
                               {DFC_SCROLL, DFCS_SCROLLDOWN},  {DFC_SCROLL, DFCS_SCROLLLEFT},
                               {DFC_SCROLL, DFCS_SCROLLRIGHT}, {DFC_SCROLL, DFCS_SCROLLCOMBOBOX}};
  for (int k = 0; k < 8; ++k) {
    for (int s = 0; s < 6; ++s) {
      RECT r{8 + s * 22, 8 + k * 20, 24 + s * 22, 24 + k * 20};
      DrawFrameControl(dc, &r, kinds[k][0], kinds[k][1] | states[s]);
    }
  }
  const unsigned edges[] = {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP};
  for (int e = 0; e < 4; ++e) {
    RECT r{150 + e * 50, 8, 194 + e * 50, 40};
    DrawEdge(dc, &r, edges[e], BF_RECT | BF_MIDDLE);
  }
  SetBkMode(dc, TRANSPARENT);
  const char* faces[] = {"Verdana", "Tahoma", "MS Sans Serif", "DejaVu Serif", "DejaVu Sans Mono"};
  for (int f = 0; f < 5; ++f) {
    LOGFONT log;
    log.lfFaceName = faces[f];
    log.lfHeight = PointsToFontHeight(9);
    log.lfWeight = f == 1 ? FW_BOLD : FW_NORMAL;
    log.lfItalic = f == 2;
    log.lfUnderline = f == 3;
    log.lfStrikeOut = f == 4;
    HFONT font = CreateFontIndirect(&log);
    HGDIOBJ old = SelectObject(dc, font);
    std::string face;
    GetTextFace(dc, &face);
    TextOut(dc, 150, 50 + f * 18, std::string(faces[f]) + " -> " + face);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  RECT wrap{150, 145, 350, 230};
  DrawEdge(dc, &wrap, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FillRect(dc, &wrap, GetSysColorBrush(COLOR_WINDOW));
  DrawText(dc, "Word breaking keeps words whole;\ttabs expand, && marks show one, &prefix underlines.", &wrap,
           DT_WORDBREAK | DT_EXPANDTABS);
  ASSERT_TRUE(SaveDCToPng(dc, ScreenshotPath("gdi_controls.png")));
}

}  // namespace
}  // namespace qelo::test
