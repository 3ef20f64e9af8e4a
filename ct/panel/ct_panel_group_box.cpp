#include "ct_panel_group_box.h"

#include "ct_common_borders.h"
#include "ct_common_color.h"
#include "ct_common_types.h"
#include "ct_grafx_gradient.h"
#include "ct_grafx_text.h"
#include "vcl/controls/text_drawing.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kCtGroupBoxStyleInfo{"TCtGroupBoxStyle",
                                    {"gsStandard", "gsCustom", "gsTopLine", "gsFlat", "gsBanner", "gsUnderline"}};

const ClassInfo& TCtCustomGroupBox::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCtCustomGroupBox>("TCtCustomGroupBox", TCtCustomPanel::StaticClass()).Done();
  return info;
}

const ClassInfo& TCtGroupBox::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TCtGroupBox> builder("TCtGroupBox", TCtCustomGroupBox::StaticClass());
    PublishGroupBoxProperties(builder);
    return builder.Done();
  }();
  return info;
}

TCtCustomGroupBox::TCtCustomGroupBox(TComponent* owner) : TCtCustomPanel(owner) {
  SetBorderOuter(fsNone);
  SetBorderInner(fsNone);
  SetAlignment(taLeftJustify);
  SetAlignmentVertical(avTop);
  SetHeight(105);
  TControlStyle style = ControlStyle();
  style.Include(csSetCaption).Include(csDoubleClicks);
  SetControlStyle(style);
}

void TCtCustomGroupBox::StyleChanged() {
  Realign();
  Invalidate();
}

void TCtCustomGroupBox::SetGroupStyle(TCtGroupBoxStyle value) {
  if (StoreChanged(groupStyle_, value)) StyleChanged();
}

void TCtCustomGroupBox::SetBannerHeight(int value) {
  if (StoreChanged(bannerHeight_, value)) StyleChanged();
}

void TCtCustomGroupBox::UpdateFrameFromController() {
  if (groupStyle_ == gsCustom) TCtCustomPanel::UpdateFrameFromController();
}

// ---- geometry -------------------------------------------------------------------------

namespace {

win::SIZE MeasureText(const TFont& font, std::string_view text) {
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, font.Handle());
  win::SIZE size{};
  win::GetTextExtentPoint32(dc, text, &size);
  win::SelectObject(dc, old);
  win::DeleteDC(dc);
  return size;
}

}  // namespace

int TCtCustomGroupBox::TextHeight(std::string_view sample) const { return MeasureText(*Font(), sample).cy; }

TSize TCtCustomGroupBox::CaptionExtent() const {
  return MeasureText(*Font(), StripAcceleratorMarks(Caption()));
}

void TCtCustomGroupBox::AdjustClientRect(TRect& rect) const {
  TCtCustomPanel::AdjustClientRect(rect);
  const int h = TextHeight("Yy");
  switch (groupStyle_) {
    case gsCustom:
      if (!Caption().empty()) rect.top += h;
      win::InflateRect(&rect, -2, -2);
      break;
    case gsTopLine: rect.top += h; break;
    case gsBanner: rect.top += bannerHeight_ != 0 ? bannerHeight_ : h + 8; break;
    case gsUnderline: rect.top += h + 4; break;
    case gsStandard:
    case gsFlat: {
      const int b = h / 2 - 1;
      rect.top += b < BorderWidth() ? b : h - BorderWidth();
      const int inset = groupStyle_ == gsStandard ? 2 : 1;
      win::InflateRect(&rect, -inset, -inset);
      break;
    }
  }
}

TRect TCtCustomGroupBox::CaptionRect() const {
  if (Caption().empty() || groupStyle_ == gsCustom) return Rect(0, 0, 0, 0);
  const TSize text = CaptionExtent();
  const int tw = text.cx, th = text.cy;
  const bool mirrored = UseRightToLeftAlignment();
  switch (groupStyle_) {
    case gsTopLine: return mirrored ? Rect(Width() - tw - 4, 0, Width() - 4, th) : Rect(0, 0, tw + 4, th);
    case gsBanner: return Rect(0, 0, Width(), bannerHeight_ != 0 ? bannerHeight_ : th + 6);
    case gsUnderline: return Rect(0, 0, Width(), th + 2);
    default: return mirrored ? Rect(Width() - tw - 8, 0, Width() - 8, th) : Rect(8, 0, 8 + tw, th);
  }
}

// ---- painting ----------------------------------------------------------------------------

TColor TCtCustomGroupBox::FrameLineColor() const { return AdjustColorLuminance(FlatColor(), FlatColorAdjustment()); }

void TCtCustomGroupBox::Paint() {
  if (groupStyle_ == gsCustom) return TCtCustomPanel::Paint();
  TCanvas& canvas = *Canvas();
  const TRect frame = Rect(0, TextHeight("Pp") / 2 - 1, Width(), Height());
  const TRect caption = CaptionRect();
  if (!Transparent()) {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(Rect(0, 0, Width(), Height()));
  } else if (groupStyle_ != gsBanner) {
    win::ExcludeClipRect(canvas.Handle(), caption.left, caption.top, caption.right, caption.bottom);
  }
  PaintFrame(canvas, frame, caption);
  if (!Caption().empty()) PaintCaptionText(canvas, caption);
  if (OnPaint) OnPaint(this);
}

void TCtCustomGroupBox::PaintFrame(TCanvas& canvas, const TRect& frame, const TRect& caption) {
  const TColor line = FrameLineColor();
  switch (groupStyle_) {
    case gsStandard:
      switch (BorderOuter()) {
        case fsNone: PaintBorderSides(canvas, frame, fsGroove, kAllSides); break;
        case fsFlat: PaintBoxOutline(canvas, frame, line); break;
        case fsFlatBold: PaintFrameSidesRepeated(canvas, frame, line, line, kAllSides, 2); break;
        default: PaintBorderSides(canvas, frame, BorderOuter(), kAllSides); break;
      }
      break;
    case gsTopLine: PaintTopLine(canvas, frame); break;
    case gsFlat: PaintRoundedFlatBorder(canvas, frame, line, kAllSides); break;
    case gsBanner: PaintBanner(canvas, caption); break;
    case gsUnderline:  // just below the caption, which is filled next
      canvas.Pen()->SetColor(line);
      canvas.MoveTo(caption.left, caption.bottom);
      canvas.LineTo(caption.right, caption.bottom);
      break;
    case gsCustom: break;
  }
}

// The standard choice of line on the top side only; the flat styles run
// from two pixels in at both ends.
void TCtCustomGroupBox::PaintTopLine(TCanvas& canvas, const TRect& frame) {
  const TFrameStyleEx style = BorderOuter();
  if (style != fsFlat && style != fsFlatBold) {
    PaintBorderSides(canvas, frame, style == fsNone ? fsGroove : style, TSides{sdTop});
    return;
  }
  canvas.Pen()->SetColor(FrameLineColor());
  const int lines = style == fsFlatBold ? 2 : 1;
  for (int i = 0; i < lines; ++i) {
    canvas.MoveTo(frame.left + 2, frame.top + i);
    canvas.LineTo(frame.right - 2, frame.top + i);
  }
}

// The caption's band: an outline with its corner pixels left out round a
// gradient from the light to the dark colour.
void TCtCustomGroupBox::PaintBanner(TCanvas& canvas, const TRect& caption) {
  if (win::IsRectEmpty(&caption)) return;
  TColor start, stop, pen;
  if (GradientColorStyle() == gcsCustom) {
    start = GradientColorStart();
    stop = GradientColorStop();
    pen = FrameLineColor();
  } else {
    TColor dark, light;
    GetThemedPanelColors(GradientColorStyle(), dark, light, pen);
    start = light;
    stop = dark;
  }
  const TRect inside = PaintSquareFlat(canvas, caption, pen);
  PaintGradient(canvas, inside, gdHorizontalEnd, start, stop, 1);
}

void TCtCustomGroupBox::PaintCaptionText(TCanvas& canvas, TRect caption) {
  if (!Transparent() && groupStyle_ != gsBanner) {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(caption);
  }
  if (groupStyle_ == gsBanner) win::InflateRect(&caption, -4, -1);
  canvas.Font()->Assign(Font());
  if (!Enabled()) canvas.Font()->SetColor(clGrayText);
  win::SelectClipRgn(canvas.Handle(), nullptr);
  canvas.Brush()->SetStyle(bsClear);
  UINT flags = win::DT_SINGLELINE | win::DT_VCENTER;
  if (Alignment() == taCenter) flags |= win::DT_CENTER;
  if (Alignment() == taRightJustify) flags |= win::DT_RIGHT;
  DrawCanvasText(canvas, Caption(), caption, flags);
}

// ---- messages -----------------------------------------------------------------------------

// The caption's accelerator focuses the first control inside, in tab order.
void TCtCustomGroupBox::DialogChar(TMessage& m) {
  if (!IsAccel(static_cast<char16_t>(m.WParam), Caption()) || !CanFocus()) return TCtCustomPanel::Dispatch(m);
  TWinControl* first = FindNextControl(nullptr, true, true, false);
  if (!first) first = FindNextControl(nullptr, true, false, false);
  if (first) first->SetFocus();
  m.Result = 1;
}

void TCtCustomGroupBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGCHAR: return DialogChar(m);
    case CM_FONTCHANGED:
      TCtCustomPanel::Dispatch(m);
      return Invalidate();
    default: return TCtCustomPanel::Dispatch(m);
  }
}

}  // namespace qelo::ct
