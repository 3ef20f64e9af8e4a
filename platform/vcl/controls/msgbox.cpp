#include "vcl/controls/msgbox.h"

#include <algorithm>

#include "vcl/controls/text_drawing.h"

namespace qelo::vcl {

namespace {

struct ButtonDef {
  const char* caption;
  TModalResult result;
};

std::vector<ButtonDef> ButtonsOf(UINT flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{"OK", mrOk}, {"Cancel", mrCancel}};
    case MB_ABORTRETRYIGNORE: return {{"&Abort", mrAbort}, {"&Retry", mrRetry}, {"&Ignore", mrIgnore}};
    case MB_YESNOCANCEL: return {{"&Yes", mrYes}, {"&No", mrNo}, {"Cancel", mrCancel}};
    case MB_YESNO: return {{"&Yes", mrYes}, {"&No", mrNo}};
    case MB_RETRYCANCEL: return {{"&Retry", mrRetry}, {"Cancel", mrCancel}};
    default: return {{"OK", mrOk}};
  }
}

// The icon: a disc in the icon's colour with its sign.
class TMessageIcon : public TGraphicControl {
 public:
  TMessageIcon(TComponent* owner, UINT icon) : TGraphicControl(owner), icon_(icon) { SetBounds(0, 0, 32, 32); }

 protected:
  void Paint() override {
    TCanvas& c = *Canvas();
    TColor fill = clBlue;
    const char* sign = "i";
    switch (icon_) {
      case MB_ICONSTOP: fill = clRed; sign = "X"; break;
      case win::MB_ICONQUESTION: sign = "?"; break;
      case win::MB_ICONEXCLAMATION: fill = clYellow; sign = "!"; break;
      default: break;
    }
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(fill);
    c.Pen()->SetColor(clBlack);
    c.Ellipse(0, 0, Width(), Height());
    c.Brush()->SetStyle(bsClear);
    c.Font()->SetStyle(TFontStyles{fsBold});
    c.Font()->SetSize(14);
    c.Font()->SetColor(icon_ == win::MB_ICONEXCLAMATION ? clBlack : clWhite);
    TRect r = ClientRect();
    DrawCanvasText(c, sign, r, win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE);
  }

 private:
  UINT icon_;
};

// The message: wrapped between words within the width it is given, a word
// wider than that (a long path) broken where the line ends, and as tall as
// all its lines.
class TMessageText : public TLabel {
 public:
  explicit TMessageText(TComponent* owner) : TLabel(owner) {
    SetShowAccelChar(false);
    SetWordWrap(true);
  }

  void FitWithin(int maxWidth) {
    SetWidth(maxWidth);
    AdjustBounds();
  }

 protected:
  void DoDrawText(TRect& r, win::UINT flags) override { TLabel::DoDrawText(r, flags | win::DT_EDITCONTROL); }
};

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMaxTextWidth = 400;

}  // namespace

const ClassInfo& TMessageForm::StaticClass() {
  static const ClassInfo info = ClassBuilder<TMessageForm>("TMessageForm", TForm::StaticClass()).Done();
  return info;
}

TMessageForm::TMessageForm(TComponent* owner, const std::string& text, const std::string& caption, UINT flags)
    : TForm(owner), text_(text), flags_(flags) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetCaption(caption);
  if (const UINT icon = flags & MB_ICONMASK) {
    icon_ = new TMessageIcon(this, icon);
    icon_->SetParent(this);
  }
  message_ = new TMessageText(this);
  message_->SetParent(this);
  message_->SetCaption(text);
  const std::vector<ButtonDef> defs = ButtonsOf(flags);
  const size_t defaultIndex = std::min<size_t>((flags & MB_DEFMASK) >> 8, defs.size() - 1);
  for (size_t i = 0; i < defs.size(); ++i) {
    auto* b = new TButton(this);
    b->SetParent(this);
    b->SetCaption(defs[i].caption);
    b->SetModalResult(defs[i].result);
    b->SetDefault(i == defaultIndex);
    b->SetCancel(defs[i].result == mrCancel || defs.size() == 1);
    buttons_.push_back(b);
  }
  SetActiveControl(buttons_[defaultIndex]);
  // Closing the box (its close box, Alt+F4) answers like its cancel button;
  // a box without one can only be answered by its buttons, unless the
  // application is ending: then nobody may be there to answer.
  OnCloseQuery = [this](TObject*, bool& canClose) {
    if (ModalResult() == mrCancel && !ButtonFor(mrCancel) && !Application()->Terminated()) {
      if (buttons_.size() == 1) SetModalResult(buttons_[0]->ModalResult());
      else canClose = false;
    }
  };
  Layout();
}

TButton* TMessageForm::ButtonFor(TModalResult result) const {
  for (TButton* b : buttons_)
    if (b->ModalResult() == result) return b;
  return nullptr;
}

// The text wraps at a comfortable width; a text too tall for the screen
// takes wider lines, up to the screen's width, and only what still does not
// fit is cut. The box is as tall as the text and its buttons.
void TMessageForm::Layout() {
  const int textLeft = icon_ ? kMargin + icon_->Width() + kMargin : kMargin;
  HandleNeeded();  // the frame's size is known once the window is made
  const TRect work = Screen()->WorkAreaRect();
  const int frameWidth = Width() - ClientWidth();
  const int frameHeight = Height() - ClientHeight();
  const int roomWidth = std::max(RectWidth(work) - frameWidth - textLeft - kMargin, 1);
  const int roomHeight = std::max(RectHeight(work) - frameHeight - 3 * kMargin - kButtonHeight, 1);
  auto* text = static_cast<TMessageText*>(message_);
  int lineWidth = std::min(kMaxTextWidth, roomWidth);
  text->FitWithin(lineWidth);
  while (text->Height() > roomHeight && lineWidth < roomWidth) {
    lineWidth = std::min(roomWidth, lineWidth * 3 / 2);
    text->FitWithin(lineWidth);
  }
  message_->SetTop(kMargin);
  message_->SetLeft(textLeft);
  if (message_->Height() > roomHeight) message_->SetHeight(roomHeight);
  if (icon_) icon_->SetBounds(kMargin, kMargin, icon_->Width(), icon_->Height());
  const int contentHeight = std::max(message_->Height(), icon_ ? icon_->Height() : 0);
  const int buttonsWidth = static_cast<int>(buttons_.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
  const int width = std::max(textLeft + message_->Width() + kMargin, buttonsWidth + 2 * kMargin);
  const int buttonTop = kMargin + contentHeight + kMargin;
  int left = (width - buttonsWidth) / 2;
  for (TButton* b : buttons_) {
    b->SetBounds(left, buttonTop, kButtonWidth, kButtonHeight);
    left += kButtonWidth + kButtonGap;
  }
  SetClientWidth(width);
  SetClientHeight(buttonTop + kButtonHeight + kMargin);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  TMessageForm* box = new TMessageForm(this, text, caption.empty() ? title_ : caption, flags);
  int result = mrCancel;
  try {
    result = box->ShowModal();
  } catch (...) {
    box->Free();
    throw;
  }
  box->Free();
  return result;
}

}  // namespace qelo::vcl
