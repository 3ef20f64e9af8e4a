#include "painter_sheet.h"

#include <functional>
#include <string>
#include <vector>

#include "ct_common_borders.h"
#include "ct_common_color.h"
#include "ct_common_frames.h"
#include "ct_common_glyphs.h"
#include "ct_grafx_gradient.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kColumnWidth = 112;
constexpr int kColumns = 11;
constexpr int kTitleHeight = 22;
constexpr int kLabelHeight = 18;
constexpr int kRowGap = 8;
constexpr TColor kOneColour = 0xB48246;  // steel blue

using PaintItem = std::function<void(TCanvas&, const TRect&)>;

struct Item {
  std::string label;
  PaintItem paint;
};

struct Section {
  std::string title;
  int width, height;  // of each item's picture
  std::vector<Item> items;
};

int Rows(const Section& s) { return (static_cast<int>(s.items.size()) + kColumns - 1) / kColumns; }
int SectionHeight(const Section& s) { return kTitleHeight + Rows(s) * (s.height + kLabelHeight + kRowGap); }

void Fill(TCanvas& c, const TRect& r, TColor color) {
  c.Brush()->SetColor(color);
  c.FillRect(r);
}

std::vector<Item> FrameStyles(bool oneColour) {
  std::vector<Item> items;
  for (int style = fsNone; style <= fsFlatBold; ++style) {
    const auto s = static_cast<TFrameStyle>(style);
    items.push_back({kFrameStyleInfo.names[style], [s, oneColour](TCanvas& c, const TRect& r) {
                       if (oneColour) {
                         Fill(c, r, kOneColour);
                         PaintColorBorder(c, r, kOneColour, s);
                       } else {
                         PaintBorder(c, r, s);
                       }
                     }});
  }
  return items;
}

Item Styled(std::string label, TStyledFrame frame) {
  return {std::move(label), [frame](TCanvas& c, const TRect& r) {
            Fill(c, r, clBtnFace);
            const TRect inner = PaintStyledFrame(c, r, frame);
            Fill(c, inner, frame.Color);
          }};
}

TStyledFrame Frame(TFrameStyleEx outer, int width, TFrameStyleEx inner) {
  TStyledFrame f;
  f.BorderOuter = outer;
  f.BorderWidth = width;
  f.BorderInner = inner;
  f.BorderColor = 0xE0C8A8;
  f.FlatColor = clBtnShadow;
  f.Color = clWindow;
  f.ParentColor = clBtnFace;
  return f;
}

std::vector<Item> StyledFrames() {
  TStyledFrame status = Frame(fsStatus, 0, fsPopup);
  status.BevelWidth = 2;
  TStyledFrame progress = Frame(fsNone, 0, fsFlat);
  progress.SquareFlat = true;
  TStyledFrame darker = Frame(fsFlatBold, 1, fsNone);
  darker.FlatColorAdjustment = -60;
  return {Styled("raised, 2, lowered", Frame(fsRaised, 2, fsLowered)),
          Styled("rounded outer", Frame(fsFlatRounded, 2, fsNone)),
          Styled("rounded inner", Frame(fsFlat, 1, fsFlatRounded)),
          Styled("status, popup x2", status),
          Styled("square flat", progress),
          Styled("bold, darker", darker)};
}

Item ControlFrame(std::string label, TFrameStyleEx style, TColor color) {
  return {std::move(label), [style, color](TCanvas& c, const TRect& r) {
            Fill(c, r, clBtnFace);
            c.Refresh();
            win::POINT origin;
            win::HDC dc = c.Handle();
            win::OffsetViewportOrgEx(dc, r.left, r.top, &origin);
            const TRect inner = PaintControlFrame(c, RectWidth(r), RectHeight(r), style, color, clNavy, kAllSides,
                                                  false);
            Fill(c, inner, color);
            win::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
          }};
}

std::vector<Item> ControlFrames() {
  return {ControlFrame("fsFlat, window", fsFlat, clWindow),
          ControlFrame("fsFlatBold, window", fsFlatBold, clWindow),
          ControlFrame("fsLowered, window", fsLowered, clWindow),
          ControlFrame("fsLowered, cream", fsLowered, clCream),
          ControlFrame("fsRaised, window", fsRaised, clWindow),
          ControlFrame("fsButtonUp, cream", fsButtonUp, clCream)};
}

std::vector<Item> Gradients() {
  std::vector<Item> items;
  for (int d = gdDiagonalUp; d <= gdBigSquareBox; ++d) {
    const auto direction = static_cast<TGradientDirection>(d);
    items.push_back({kGradientDirectionInfo.names[d], [direction](TCanvas& c, const TRect& r) {
                       PaintGradient(c, r, direction, clHighlight, clWhite, 1);
                     }});
  }
  return items;
}

Item Arrow(std::string label, int style, bool enabled) {
  return {std::move(label), [style, enabled](TCanvas& c, const TRect& r) {
            const TRect button = TRect{r.left, r.top, r.left + 17, r.top + 21};
            Fill(c, button, clBtnFace);
            const TRect face = PaintButtonEdge(c, button, false);
            PaintDropDownButton(c, face, style, enabled);
          }};
}

Item Glyph(std::string label, TCheckGlyphState state, TCheckDrawState draw, auto change) {
  TCheckGlyph g;
  g.State = state;
  g.DrawState = draw;
  g.FrameColor = 0x7F5A1C;
  g.HotFrameColor = 0x3C8CF0;
  g.HotFillColor = 0xC8F0FF;
  g.FocusColor = 0xE6FFFF;
  change(g);
  return {std::move(label), [g](TCanvas& c, const TRect& r) {
            PaintCheckGlyph(c, TRect{r.left, r.top, r.left + 13, r.top + 13}, g);
          }};
}

std::vector<Item> CheckGlyphs() {
  auto same = [](TCheckGlyph&) {};
  return {Glyph("unchecked", cgsUnchecked, cdsNormal, same),
          Glyph("checked", cgsChecked, cdsNormal, same),
          Glyph("grayed", cgsGrayed, cdsNormal, same),
          Glyph("pressed", cgsChecked, cdsPressed, same),
          Glyph("hot, interior", cgsChecked, cdsHot, same),
          Glyph("hot, frame", cgsUnchecked, cdsHot, [](TCheckGlyph& g) { g.HotTrackStyle = htsFrame; }),
          Glyph("disabled", cgsChecked, cdsDisabled, same),
          Glyph("focused", cgsChecked, cdsNormal, [](TCheckGlyph& g) { g.Focused = true; }),
          Glyph("read-only", cgsChecked, cdsNormal, [](TCheckGlyph& g) { g.ReadOnly = true; })};
}

Item Edge(std::string label, std::function<void(TCanvas&, const TRect&)> paint) {
  return {std::move(label), [paint](TCanvas& c, const TRect& r) {
            Fill(c, r, clBtnFace);
            paint(c, r);
          }};
}

std::vector<Item> Edges() {
  return {Edge("button edge", [](TCanvas& c, const TRect& r) { PaintButtonEdge(c, r, false); }),
          Edge("button edge, down", [](TCanvas& c, const TRect& r) { PaintButtonEdge(c, r, true); }),
          Edge("colour button", [](TCanvas& c, const TRect& r) {
            Fill(c, r, kOneColour);
            PaintColorButtonBorder(c, r, kOneColour, false);
          }),
          Edge("colour button, down", [](TCanvas& c, const TRect& r) {
            Fill(c, r, kOneColour);
            PaintColorButtonBorder(c, r, kOneColour, true);
          }),
          Edge("focus outline", [](TCanvas& c, const TRect& r) { PaintFocusOutline(c, r); }),
          Edge("box corners", [](TCanvas& c, const TRect& r) { PaintBoxCorners(c, r, clNavy, 6); }),
          Edge("rounded flat border", [](TCanvas& c, const TRect& r) {
            Fill(c, r, clWindow);
            PaintRoundedFlatBorder(c, r, clBtnShadow, kAllSides);
          }),
          Edge("gradient ring", [](TCanvas& c, const TRect& r) {
            PaintGradientRing(c, r, gdHorizontalEnd, 0x3C8CF0, 0xC8F0FF);
          }),
          Edge("box outline", [](TCanvas& c, const TRect& r) { PaintBoxOutline(c, r, clMaroon); })};
}

const std::vector<Section>& Sections() {
  static const std::vector<Section> sections = {
      {"Frame styles in system colours", 64, 36, FrameStyles(false)},
      {"Frame styles in one colour", 64, 36, FrameStyles(true)},
      {"Composite borders", 84, 40, StyledFrames()},
      {"Control frames", 84, 32, ControlFrames()},
      {"Gradients, highlight to white", 100, 50, Gradients()},
      {"Drop-down arrows", 17, 21,
       {Arrow("style 0", 0, true), Arrow("style 0, disabled", 0, false), Arrow("style 1", 1, true)}},
      {"Check glyphs", 13, 13, CheckGlyphs()},
      {"Edges and outlines", 64, 28, Edges()},
  };
  return sections;
}

void DrawLabel(TCanvas& c, const TRect& r, const std::string& text, bool bold) {
  c.Font()->SetStyle(bold ? TFontStyles{fsBold} : TFontStyles{});
  c.Brush()->SetStyle(bsClear);
  TRect place = r;
  win::DrawText(c.Handle(), text, &place, win::DT_SINGLELINE | win::DT_NOPREFIX | (bold ? win::DT_LEFT : win::DT_CENTER));
  c.Brush()->SetStyle(bsSolid);
}

}  // namespace

TPainterSheet::TPainterSheet(TComponent* owner) : TCustomControl(owner) {
  SetColor(clBtnFace);
  SetParentColor(false);
}

int TPainterSheet::SectionsWidth() { return 2 * kMargin + kColumns * kColumnWidth; }

int TPainterSheet::SectionsHeight() {
  int height = kMargin;
  for (const Section& s : Sections()) height += SectionHeight(s);
  return height + kMargin;
}

void TPainterSheet::Paint() {
  TCanvas& c = *Canvas();
  c.Font()->SetName("Tahoma");
  c.Font()->SetSize(8);
  c.Font()->SetColor(clBtnText);
  Fill(c, ClientRect(), clBtnFace);
  int y = kMargin;
  for (const Section& s : Sections()) {
    DrawLabel(c, TRect{kMargin, y, ClientWidth() - kMargin, y + kTitleHeight}, s.title, true);
    for (size_t i = 0; i < s.items.size(); ++i) {
      const int column = static_cast<int>(i) % kColumns, row = static_cast<int>(i) / kColumns;
      const int cellLeft = kMargin + column * kColumnWidth;
      const int top = y + kTitleHeight + row * (s.height + kLabelHeight + kRowGap);
      const int left = cellLeft + (kColumnWidth - s.width) / 2;
      s.items[i].paint(c, TRect{left, top, left + s.width, top + s.height});
      DrawLabel(c, TRect{cellLeft, top + s.height + 2, cellLeft + kColumnWidth, top + s.height + kLabelHeight},
                s.items[i].label, false);
    }
    y += SectionHeight(s);
  }
}

}  // namespace qelo::ct::sheet
