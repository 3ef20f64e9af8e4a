#include "vcl/controls/statusbar.h"

#include <algorithm>

#include "win/controls/statusbar.h"

namespace qelo::vcl {

const EnumInfo kStatusPanelStyleInfo{"TStatusPanelStyle", {"psText", "psOwnerDraw"}};

// ---- panels ------------------------------------------------------------------------------

const ClassInfo& TStatusPanel::StaticClass() {
  static const ClassInfo info = ClassBuilder<TStatusPanel>("TStatusPanel", TPersistent::StaticClass())
                                    .String("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
                                    .Integer("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth)
                                    .Enum("Alignment", kAlignmentInfo, &TStatusPanel::Alignment, &TStatusPanel::SetAlignment)
                                    .Enum("Style", kStatusPanelStyleInfo, &TStatusPanel::Style, &TStatusPanel::SetStyle)
                                    .Done();
  return info;
}

void TStatusPanel::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  bar_.UpdatePanel(Index());
}

void TStatusPanel::SetWidth(int width) {
  width = std::max(width, 0);
  if (width == width_) return;
  width_ = width;
  Changed();
}

void TStatusPanel::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  bar_.UpdatePanel(Index());
}

void TStatusPanel::SetStyle(TStatusPanelStyle style) {
  if (style == style_) return;
  style_ = style;
  bar_.UpdatePanel(Index());
}

int TStatusPanel::Index() const {
  for (int i = 0; i < bar_.Panels()->Count(); ++i)
    if (bar_.Panels()->Items(i) == this) return i;
  return -1;
}

void TStatusPanel::Changed() { bar_.UpdatePanels(); }

const ClassInfo& TStatusPanels::StaticClass() {
  static const ClassInfo info = ClassBuilder<TStatusPanels>("TStatusPanels", TPersistent::StaticClass()).Done();
  return info;
}

TStatusPanels::~TStatusPanels() {
  for (TStatusPanel* p : panels_) delete p;
}

TStatusPanel* TStatusPanels::Items(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError("Status panel index out of bounds (" + std::to_string(index) + ")");
  return panels_[static_cast<size_t>(index)];
}

TStatusPanel* TStatusPanels::Add() {
  panels_.push_back(new TStatusPanel(bar_));
  bar_.UpdatePanels();
  return panels_.back();
}

void TStatusPanels::Delete(int index) {
  TStatusPanel* doomed = Items(index);
  panels_.erase(panels_.begin() + index);
  delete doomed;
  bar_.UpdatePanels();
}

void TStatusPanels::Clear() {
  for (TStatusPanel* p : panels_) delete p;
  panels_.clear();
  bar_.UpdatePanels();
}

// ---- the bar -----------------------------------------------------------------------------

const ClassInfo& TStatusBar::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TStatusBar>("TStatusBar", TWinControl::StaticClass())
          .Boolean("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel)
          .String("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
          .Boolean("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip)
          .Event("OnDrawPanel", &TStatusBar::OnDrawPanel)
          .Skip("AutoHint")
          .Skip("UseSystemFont")
          .Done();
  return info;
}

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(new TStatusPanels(*this)), canvas_(new TCanvas) {
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetColor(clBtnFace);
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
  DestroyHandle();
  delete panels_;
  delete canvas_;
}

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = win::STATUSCLASSNAME;
  // The framework places the bar (Align); the window keeps the bounds it is given.
  p.Style |= win::CCS_NOPARENTALIGN | win::CCS_NORESIZE;
  if (sizeGrip_) p.Style |= win::SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
  const win::INITCOMMONCONTROLSEX classes{sizeof(win::INITCOMMONCONTROLSEX), win::ICC_BAR_CLASSES};
  win::InitCommonControlsEx(&classes);
  TWinControl::CreateWnd();
  SendFontToWindow(*this, false);
  UpdatePanels();
  win::SendMessage(WindowHandle(), win::SB_SETTEXT, win::SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
  win::SendMessage(WindowHandle(), win::SB_SIMPLE, simplePanel_ ? 1 : 0, 0);
}

void TStatusBar::SetSimplePanel(bool value) {
  if (value == simplePanel_) return;
  simplePanel_ = value;
  if (HandleAllocated()) win::SendMessage(WindowHandle(), win::SB_SIMPLE, value ? 1 : 0, 0);
}

void TStatusBar::SetSimpleText(const std::string& text) {
  if (text == simpleText_) return;
  simpleText_ = text;
  if (HandleAllocated())
    win::SendMessage(WindowHandle(), win::SB_SETTEXT, win::SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TStatusBar::SetSizeGrip(bool value) {
  if (value == sizeGrip_) return;
  sizeGrip_ = value;
  RecreateWnd();
}

// Each panel ends where its width does; the last one takes what is left.
void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  const int count = std::min(std::max(panels_->Count(), 1), win::kStatusMaxParts);
  std::vector<int32_t> rights(static_cast<size_t>(count), -1);
  int right = 0;
  for (int i = 0; i + 1 < panels_->Count() && i + 1 < count; ++i) {
    right += panels_->Items(i)->Width();
    rights[static_cast<size_t>(i)] = right;
  }
  win::SendMessage(WindowHandle(), win::SB_SETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rights.data()));
  if (panels_->Count() == 0) {
    win::SendMessage(WindowHandle(), win::SB_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    return;
  }
  for (int i = 0; i < count; ++i) UpdatePanel(i);
}

// The window's text marks: a tab centres, two tabs right-align.
void TStatusBar::UpdatePanel(int index) {
  if (!HandleAllocated() || index < 0 || index >= std::min(panels_->Count(), win::kStatusMaxParts)) return;
  const TStatusPanel& panel = *panels_->Items(index);
  if (panel.Style() == psOwnerDraw) {
    win::SendMessage(WindowHandle(), win::SB_SETTEXT, static_cast<WPARAM>(index) | win::SBT_OWNERDRAW, index);
    return;
  }
  static const char* const kAlignMarks[] = {"", "\t\t", "\t"};  // taLeftJustify, taRightJustify, taCenter
  const std::string text = kAlignMarks[panel.Alignment()] + panel.Text();
  win::SendMessage(WindowHandle(), win::SB_SETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
  if (OnDrawPanel) OnDrawPanel(this, panel, rect);
  else canvas_->FillRect(rect);
}

void TStatusBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM: {
      const auto& item = *reinterpret_cast<const win::DRAWITEMSTRUCT*>(m.LParam);
      const auto index = static_cast<int>(item.itemData);
      if (index < 0 || index >= panels_->Count()) return;
      {
        TCanvasContextScope context(*canvas_, item.hDC);
        canvas_->Font()->Assign(Font());
        canvas_->Brush()->SetColor(Color());
        DrawPanel(panels_->Items(index), item.rcItem);
      }
      m.Result = 1;
      return;
    }
    case CM_FONTCHANGED:
      SendFontToWindow(*this, true);
      TWinControl::Dispatch(m);
      return;
    default: TWinControl::Dispatch(m);
  }
}

}  // namespace qelo::vcl
