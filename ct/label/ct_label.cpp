#include "ct_label.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "ct_common_blinking.h"
#include "ct_common_border_rect.h"
#include "ct_common_borders.h"
#include "ct_common_types.h"
#include "ct_grafx_text.h"
#include "ct_label_open_with.h"
#include "shell/launch.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/text_drawing.h"
#include "vcl/sysutils.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kCenterPointInfo{"TCenterPoint",
                                {"cpUpperLeft", "cpUpperCenter", "cpUpperRight", "cpLeftCenter", "cpCenter",
                                 "cpRightCenter", "cpLowerLeft", "cpLowerCenter", "cpLowerRight"}};
const EnumInfo kCtCondenseCaptionInfo{"TCtCondenseCaption", {"ccNone", "ccAtEnd", "ccWithinPath"}};
const EnumInfo kRotationInfo{"TRotation", {"roNone", "roFlat", "roCurve"}};

namespace {

constexpr double kPi = std::numbers::pi;
double Radians(double degrees) { return degrees * kPi / 180.0; }
int Round(double v) { return static_cast<int>(std::lround(v)); }

// The characters of a UTF-8 text, one string each.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  for (size_t i = 0; i < text.size();) {
    size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

std::string Trimmed(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace

int NormalizeLabelAngle(int degrees) { return ((degrees % 360) + 360) % 360; }

TSize RotatedBoxSize(int width, int height, int degrees) {
  const double a = Radians(degrees);
  const double c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
  return TSize{Round(c * width + s * height), Round(s * width + c * height)};
}

// ---- TCtLabel -------------------------------------------------------------------

const ClassInfo& TCtLabel::StaticClass() {
  using L = TCtLabel;
  static const ClassInfo info = [] {
    ClassBuilder<L> b("TCtLabel", TCustomLabel::StaticClass());
    PublishStyledBorderProperties(b);
    PublishFrameControllerProperties(b);
    b.Integer("Angle", &L::Angle, &L::SetAngle)
        .Boolean("Blinking", &L::Blinking, &L::SetBlinking)
        .Color("BlinkColor", &L::BlinkColor, &L::SetBlinkColor)
        .Integer("BlinkIntervalOff", &L::BlinkIntervalOff, &L::SetBlinkIntervalOff)
        .Integer("BlinkIntervalOn", &L::BlinkIntervalOn, &L::SetBlinkIntervalOn)
        .Integer("BevelWidth", &L::BevelWidth, &L::SetBevelWidth)
        .Integer("BorderWidth", &L::BorderWidth, &L::SetBorderWidth)
        .Enum("CondenseCaption", kCtCondenseCaptionInfo, &L::CondenseCaption, &L::SetCondenseCaption)
        .Enum("CenterPoint", kCenterPointInfo, &L::CenterPoint, &L::SetCenterPoint)
        .Color("FlyByColor", &L::FlyByColor, &L::SetFlyByColor)
        .Boolean("FlyByEnabled", &L::FlyByEnabled, &L::SetFlyByEnabled)
        .Boolean("LightTextStyle", &L::LightTextStyle, &L::SetLightTextStyle)
        .Enum("Rotation", kRotationInfo, &L::Rotation, &L::SetRotation)
        .Color("HighlightColor", &L::HighlightColor, &L::SetHighlightColor)
        .Color("ShadowColor", &L::ShadowColor, &L::SetShadowColor)
        .Integer("ShadowDepth", &L::ShadowDepth, &L::SetShadowDepth)
        .Integer("TextMargin", &L::TextMargin, &L::SetTextMargin)
        .Enum("TextStyle", kTextStyleInfo, &L::TextStyle, &L::SetTextStyle)
        .Skip("FrameSides");
    return b.Done();
  }();
  return info;
}

TCtLabel::TCtLabel(TComponent* owner)
    : TCustomLabel(owner),
      TCtFrameControllerClient(this),
      TCtStyledBorderSettings(fsNone),
      textColor_(Font()->Color()) {
  SetColor(clBtnFace);
  SetParentColor(true);
  BlinkingControlsList()->Add(this);
}

TCtLabel::~TCtLabel() {
  if (TCtBlinkingControlsList* list = ExistingBlinkingControlsList()) list->Remove(this);
  FreeBlinkingControlsListIfEmpty();
}

// ---- setters ----

void TCtLabel::FrameChanged() {
  AdjustBounds();
  Invalidate();
}

void TCtLabel::StyledBorderChanged(bool roomChanged) {
  if (roomChanged) FrameChanged();
  else Invalidate();
}

void TCtLabel::EnsureOutlineFont() {
  if (!IsTrueTypeFont(*Font())) Font()->SetName("Verdana");
}

// Every angle, however far below 0 or above 360, comes into 0..359.
void TCtLabel::SetAngle(int degrees) {
  degrees = NormalizeLabelAngle(degrees);
  if (degrees == angle_) return;
  angle_ = degrees;
  if (angle_ != 0 && !Loading()) EnsureOutlineFont();
  if (angle_ != 0 && rotation_ == roNone) rotation_ = roFlat;
  FrameChanged();
}

void TCtLabel::SetBlinking(bool value) {
  if (!StoreChanged(blinking_, value)) return;
  if (!value) {
    blinkOn_ = false;
    textColor_ = Font()->Color();
    Repaint();
  }
}

void TCtLabel::SetBlinkColor(TColor value) {
  if (!StoreChanged(blinkColor_, value)) return;
  if (blinkOn_) textColor_ = value;
  Invalidate();
}

int TCtLabel::BlinkIntervalOff() const { return BlinkingControlsList()->IntervalOff(); }
void TCtLabel::SetBlinkIntervalOff(int ms) { BlinkingControlsList()->SetIntervalOff(static_cast<uint16_t>(ms)); }
int TCtLabel::BlinkIntervalOn() const { return BlinkingControlsList()->IntervalOn(); }
void TCtLabel::SetBlinkIntervalOn(int ms) { BlinkingControlsList()->SetIntervalOn(static_cast<uint16_t>(ms)); }

void TCtLabel::SetBevelWidth(int value) {
  if (StoreChanged(bevelWidth_, value)) FrameChanged();
}

void TCtLabel::SetBorderWidth(int value) {
  if (StoreChanged(borderWidth_, value)) FrameChanged();
}

void TCtLabel::SetCondenseCaption(TCtCondenseCaption value) {
  if (!StoreChanged(condenseCaption_, value)) return;
  if (value != ccNone) SetAutoSize(false);
  Invalidate();
}

void TCtLabel::SetCenterPoint(TCenterPoint value) {
  if (StoreChanged(centerPoint_, value)) Invalidate();
}

void TCtLabel::SetFlyByColor(TColor value) {
  if (!StoreChanged(flyByColor_, value)) return;
  if (flyByActive_) Font()->SetColor(value);
  Invalidate();
}

void TCtLabel::SetFlyByEnabled(bool value) {
  if (!StoreChanged(flyByEnabled_, value)) return;
  if (!value && flyByActive_) {
    flyByActive_ = false;
    Font()->SetColor(flyBySaved_);
  }
  Invalidate();
}

void TCtLabel::SetLightTextStyle(bool value) {
  if (StoreChanged(lightTextStyle_, value)) Invalidate();
}

// Read from a form, the rotation leaves the angle and centre point the
// form gives alongside it.
void TCtLabel::SetRotation(TRotation value) {
  if (!StoreChanged(rotation_, value)) return;
  if (value != roNone && !Loading()) EnsureOutlineFont();
  if (!Loading()) {
    if (value == roNone || value == roFlat) angle_ = 0;
    if (value == roFlat) centerPoint_ = cpCenter;
  }
  FrameChanged();
}

void TCtLabel::SetHighlightColor(TColor value) {
  if (StoreChanged(highlightColor_, value)) Invalidate();
}

void TCtLabel::SetShadowColor(TColor value) {
  if (StoreChanged(shadowColor_, value)) Invalidate();
}

// Depth, margin and style take room that the fitted size must follow.
void TCtLabel::SetShadowDepth(int value) {
  if (StoreChanged(shadowDepth_, value)) FrameChanged();
}

void TCtLabel::SetTextMargin(int value) {
  if (StoreChanged(textMargin_, value)) FrameChanged();
}

void TCtLabel::SetTextStyle(TTextStyle value) {
  if (StoreChanged(textStyle_, value)) FrameChanged();
}

void TCtLabel::SetOwnFontColor(TColor color) {
  if (flyByActive_)
    flyBySaved_ = color;
  else
    Font()->SetColor(color);
}

void TCtLabel::UpdateFrameFromController() {
  if (TCtFrameController* controller = FrameController()) UpdateStyledFrameFromController(*this, *controller);
}

// ---- geometry ----

void TCtLabel::GetTextRect(TRect& rect, bool withBorderWidth) const {
  rect = ClientRect();
  if (withBorderWidth) win::InflateRect(&rect, -borderWidth_, -borderWidth_);
  rect = InsideBorderStyles(rect, bevelWidth_);
  win::InflateRect(&rect, -textMargin_, -textMargin_);
}

// The frame takes exactly what GetTextRect leaves out of the client area,
// so that a fitted label lays its text out in the measured size.
void TCtLabel::AdjustSizeForFrame(TSize& size) const {
  if (textStyle_ == tsShadow && rotation_ == roNone) {
    size.cx += shadowDepth_;
    size.cy += shadowDepth_;
  } else if (textStyle_ == tsShadow && rotation_ == roFlat) {
    size.cx += shadowDepth_ / 2;
    size.cy += shadowDepth_ / 2;
  }
  if (rotation_ == roFlat && angle_ != 0 && angle_ != 180) size = RotatedBoxSize(size.cx, size.cy, angle_);
  TRect inner;
  GetTextRect(inner, true);
  size.cx += Width() - RectWidth(inner);
  size.cy += Height() - RectHeight(inner);
}

UINT TCtLabel::DrawFlags() const {
  UINT flags = win::DT_EXPANDTABS;
  if (Alignment() == taRightJustify) flags |= win::DT_RIGHT;
  if (Alignment() == taCenter) flags |= win::DT_CENTER;
  if (UseRightToLeftReading()) flags |= win::DT_RTLREADING;
  if (WordWrap()) flags |= win::DT_WORDBREAK;
  if (!ShowAccelChar()) flags |= win::DT_NOPREFIX;
  if (condenseCaption_ == ccAtEnd) flags |= win::DT_END_ELLIPSIS;
  if (condenseCaption_ == ccWithinPath) flags |= win::DT_PATH_ELLIPSIS;
  return flags;
}

void TCtLabel::AdjustBounds() {
  if (!AutoSize() || Loading()) return;
  TRect r;
  GetTextRect(r, true);
  win::OffsetRect(&r, -r.left, -r.top);
  r.right = std::max<int>(r.right, 0);
  if (!WordWrap()) r.right = 10000;
  std::string text = GetLabelText();
  if (text.empty() || (ShowAccelChar() && text == "&")) text += ' ';
  win::HDC dc = win::CreateDisplayDC();
  {
    TCanvasContextScope context(*Canvas(), dc);
    Canvas()->Font()->Assign(Font());
    UINT flags = win::DT_CALCRECT | win::DT_EXPANDTABS | (DrawFlags() & (win::DT_WORDBREAK | win::DT_NOPREFIX));
    if (condenseCaption_ == ccAtEnd) flags |= win::DT_END_ELLIPSIS;
    if (condenseCaption_ == ccWithinPath) flags |= win::DT_PATH_ELLIPSIS;
    DrawCanvasText(*Canvas(), text, r, flags);
  }
  win::DeleteDC(dc);
  TSize size{RectWidth(r), RectHeight(r)};
  AdjustSizeForFrame(size);
  TAlignment alignment = Alignment();
  if (UseRightToLeftAlignment() && alignment != taCenter)
    alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
  const int left = alignment == taRightJustify ? Left() + Width() - size.cx : Left();
  SetBounds(left, Top(), size.cx, size.cy);
}

// ---- painting ----

template <class Draw>
void TCtLabel::DrawStyledCopies(Draw draw, int shadowOffset, int mainOffset) const {
  switch (textStyle_) {
    case tsRaised:
      if (!lightTextStyle_) draw(1, shadowColor_);
      draw(-1, highlightColor_);
      break;
    case tsRecessed:
      draw(1, highlightColor_);
      if (!lightTextStyle_) draw(-1, shadowColor_);
      break;
    case tsShadow: draw(shadowOffset, shadowColor_); break;
    case tsNormal: break;
  }
  draw(mainOffset, textColor_);
}

void TCtLabel::DrawStraightText(TCanvas& canvas, TRect r) {
  const UINT flags = DrawFlags();
  const std::string text = GetLabelText();
  if (Layout() != tlTop) {
    TRect measured = r;
    DrawCanvasText(canvas, text, measured, flags | win::DT_CALCRECT);
    const int spare = RectHeight(r) - RectHeight(measured);
    win::OffsetRect(&r, 0, Layout() == tlBottom ? spare : spare / 2);
  }
  if (textStyle_ == tsShadow && (flags & win::DT_RIGHT)) win::OffsetRect(&r, -shadowDepth_, 0);
  if (textStyle_ == tsShadow && Layout() == tlBottom) win::OffsetRect(&r, 0, -shadowDepth_);
  auto draw = [&](int offset, TColor color) {
    TRect at = r;
    win::OffsetRect(&at, offset, offset);
    canvas.Font()->SetColor(color);
    DrawCanvasText(canvas, text, at, flags);
  };
  if (!Enabled()) return draw(0, clGrayText);
  DrawStyledCopies(draw, shadowDepth_, 0);
}

void TCtLabel::DrawFlatRotatedText(TCanvas& canvas, const TRect& r) {
  const std::string text = GetLabelText();
  const int g = textStyle_ == tsShadow ? shadowDepth_ / 2 : 0;
  const int w = canvas.TextWidth(text);
  const int tw = w + g;
  const int pp = canvas.TextHeight("Pp");
  const int th = pp + g;
  const double q = pp / 4.0;
  const double a = Radians(angle_) + kPi / 2;
  const UINT align = Alignment() == taCenter ? win::DT_CENTER : Alignment() == taRightJustify ? win::DT_RIGHT : win::DT_LEFT;
  int x = Width() / 2, y = Height() / 2;
  unsigned textAlign = win::TA_BASELINE;
  switch (angle_) {
    case 0:
      textAlign = align == win::DT_CENTER ? win::TA_CENTER : win::TA_LEFT;
      if (align == win::DT_LEFT) x = r.left + g;
      if (align == win::DT_RIGHT) x = r.right - w - 2 * g;
      y -= th / 2;
      break;
    case 90:
      x -= Round(std::cos(a) * q);
      y = align == win::DT_CENTER ? r.bottom - (r.bottom - tw) / 2 : align == win::DT_RIGHT ? r.top + tw + g : r.bottom - g;
      break;
    case 180:
      x = align == win::DT_CENTER ? r.right - (r.right - tw) / 2 : align == win::DT_RIGHT ? r.left + tw : r.right - g;
      y -= th / 4;
      break;
    case 270:
      x -= Round(std::cos(a) * q);
      y = align == win::DT_CENTER ? (r.bottom - tw) / 2 : align == win::DT_RIGHT ? r.bottom - tw - g : r.top + g;
      break;
    default:
      x -= Round(std::cos(a) * q);
      y += Round(std::sin(a) * q);
      textAlign = win::TA_BASELINE | win::TA_CENTER;
      break;
  }
  canvas.Font()->SetHandle(CreateAngledFont(*Font(), angle_));
  const unsigned previous = win::SetTextAlign(canvas.Handle(), textAlign);
  auto draw = [&](int offset, TColor color) {
    canvas.Font()->SetColor(color);
    canvas.TextRect(r, x + offset, y + offset, text);
  };
  // A turned shadow sits half its depth down and right, the text as far
  // up and left.
  if (!Enabled())
    draw(0, clGrayText);
  else
    DrawStyledCopies(draw, g, -g);
  win::SetTextAlign(canvas.Handle(), previous);
}

// Without room for an ellipse (a radius of 0 or less) there is nothing to
// set the text along.
void TCtLabel::DrawCurvedText(TCanvas& canvas) {
  const int b = borderWidth_, bb = 2 * borderWidth_;
  const int w = Width(), h = Height();
  int cx = w / 2, cy = h / 2, rx = w / 2 - bb, ry = h / 2 - bb;
  switch (centerPoint_) {
    case cpUpperLeft: cx = b, cy = b, rx = w - bb, ry = h - bb; break;
    case cpUpperCenter: cx = w / 2, cy = b, rx = w / 2 - bb, ry = h - bb; break;
    case cpUpperRight: cx = w - b, cy = b, rx = w - bb, ry = h - bb; break;
    case cpLeftCenter: cx = b, cy = h / 2, rx = w - bb, ry = h / 2 - bb; break;
    case cpCenter: break;
    case cpRightCenter: cx = w - b, cy = h / 2, rx = w - bb, ry = h / 2 - bb; break;
    case cpLowerLeft: cx = b, cy = h - b, rx = w - bb, ry = h - bb; break;
    case cpLowerCenter: cx = w / 2, cy = h - b, rx = w / 2 - bb, ry = h - bb; break;
    case cpLowerRight: cx = w - b, cy = h - b, rx = w - bb, ry = h - bb; break;
  }
  if (rx <= 0 || ry <= 0) return;
  const int textHeight = canvas.TextHeight("Yy");
  const double step = (canvas.TextWidth("w") + 2) / static_cast<double>(rx);
  const unsigned previous = win::SetTextAlign(canvas.Handle(), win::TA_BASELINE | win::TA_CENTER);
  double t = Radians(angle_);
  const std::string text = GetLabelText();
  for (std::string_view ch : Characters(text)) {
    const int x = cx - Round((rx - textHeight) * std::sin(t));
    const int y = cy - Round((ry - textHeight) * std::cos(t));
    canvas.Font()->SetOrientation(Round(t * 1800 / kPi));
    auto draw = [&](int offset, TColor color) {
      canvas.Font()->SetColor(color);
      canvas.TextOut(x + offset, y + offset, ch);
    };
    if (Enabled()) {
      DrawStyledCopies(draw, shadowDepth_, 0);
    } else {
      draw(1, clBtnHighlight);
      draw(0, clBtnShadow);
    }
    t -= step;
  }
  win::SetTextAlign(canvas.Handle(), previous);
}

void TCtLabel::Paint() {
  TCanvas& canvas = *Canvas();
  TStyledFrame frame;
  CopyStyledBorderTo(frame);
  frame.BorderWidth = borderWidth_;
  frame.BevelWidth = bevelWidth_;
  frame.Color = Color();
  frame.ParentColor = Parent() ? Parent()->Color() : Color();
  frame.Transparent = Transparent();
  const TRect inner = PaintStyledFrame(canvas, Rect(0, 0, Width(), Height()), frame);
  if (!Transparent()) {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(inner);
  }
  canvas.Brush()->SetStyle(bsClear);
  TRect text;
  GetTextRect(text, true);
  switch (rotation_) {
    case roNone: return DrawStraightText(canvas, text);
    case roFlat: return DrawFlatRotatedText(canvas, text);
    case roCurve: return DrawCurvedText(canvas);
  }
}

// ---- messages ----

void TCtLabel::BlinkChanged(bool on) {
  blinkOn_ = on;
  textColor_ = on ? blinkColor_ : Font()->Color();
}

void TCtLabel::MouseOverChanged(bool inside) {
  if (ComponentState().Contains(csDesigning)) return;
  if (inside && flyByEnabled_ && !flyByActive_) {
    flyBySaved_ = Font()->Color();
    flyByActive_ = true;
    Font()->SetColor(flyByColor_);
  } else if (!inside && flyByActive_) {
    flyByActive_ = false;
    Font()->SetColor(flyBySaved_);
  }
}

void TCtLabel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_BLINKQUERY: m.Result = blinking_ ? 1 : 0; return;
    case CM_BLINK:
      BlinkChanged(m.WParam == 1);
      return Repaint();
    case CM_FONTCHANGED:
      if (!Loading()) {
        if (!blinking_) textColor_ = Font()->Color();
        if (angle_ != 0 && !IsTrueTypeFont(*Font())) angle_ = 0;
      }
      return TCustomLabel::Dispatch(m);
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TCustomLabel::Dispatch(m);
      return MouseOverChanged(m.Msg == CM_MOUSEENTER);
    default: TCustomLabel::Dispatch(m);
  }
}

void TCtLabel::Loaded() {
  if (angle_ != 0 && rotation_ == roNone) rotation_ = roFlat;
  if (rotation_ != roNone) EnsureOutlineFont();
  textColor_ = Font()->Color();
  TCustomLabel::Loaded();
}

void TCtLabel::Notification(TComponent* component, TOperation operation) {
  TCustomLabel::Notification(component, operation);
  FrameControllerLink().Notification(component, operation);
}

// ---- TCtURLLabel ----------------------------------------------------------------

const ClassInfo& TCtURLLabel::StaticClass() {
  using U = TCtURLLabel;
  static const ClassInfo info = ClassBuilder<U>("TCtURLLabel", TCtLabel::StaticClass())
                                    .String("URL", &U::URL, &U::SetURL)
                                    .Color("UnvisitedColor", &U::UnvisitedColor, &U::SetUnvisitedColor)
                                    .Boolean("Visited", &U::Visited, &U::SetVisited)
                                    .Color("VisitedColor", &U::VisitedColor, &U::SetVisitedColor)
                                    .Done();
  return info;
}

namespace {

// The screen's hand cursor under the link cursor's id, once.
void RegisterLinkCursor() {
  static const bool registered = [] {
    Screen()->SetCursors(crCtHandPoint, Screen()->Cursors(crHandPoint));
    return true;
  }();
  (void)registered;
}

}  // namespace

TCtURLLabel::TCtURLLabel(TComponent* owner) : TCtLabel(owner) {
  RegisterLinkCursor();
  SetTextStyle(tsNormal);
  Font()->SetColor(clHighlight);
  Font()->SetStyle(TFontStyles{fsUnderline});
  SetCursor(crCtHandPoint);
}

void TCtURLLabel::SetUnvisitedColor(TColor value) {
  if (!StoreChanged(unvisitedColor_, value)) return;
  UpdateLinkColor();
  Invalidate();
}

void TCtURLLabel::SetVisited(bool value) {
  if (!StoreChanged(visited_, value)) return;
  UpdateLinkColor();
  Invalidate();
}

void TCtURLLabel::SetVisitedColor(TColor value) {
  if (!StoreChanged(visitedColor_, value)) return;
  UpdateLinkColor();
  Invalidate();
}

void TCtURLLabel::UpdateLinkColor() { SetOwnFontColor(visited_ ? visitedColor_ : unvisitedColor_); }

// The target goes to the desktop as one address, never through a command
// line; a failed open leaves the link unvisited. A web page that no
// program opened brings up the platform's open-with dialog for such pages.
void TCtURLLabel::Click() {
  TCtLabel::Click();
  std::string target = Trimmed(url_);
  if (target.empty()) target = Trimmed(Caption());
  if (target.empty()) return;
  if (shell::OpenWithDefaultHandler(target)) return SetVisited(true);
  if (SameText(ExtractFileExt(target), ".HTM")) ShowOpenWithDialog("*.htm");
}

void RegisterCtLabelClasses() {
  RegisterClasses({&TCtLabel::StaticClass(), &TCtURLLabel::StaticClass()});
}

}  // namespace qelo::ct
