// The status bar over the native status bar class: a row of panels (text,
// width, alignment, owner-drawn) or one simple line, aligned to the bottom
// of its parent by the framework, with a size grip on sizeable forms.
#pragma once

#include <vector>

#include "vcl/controls/native_control.h"

namespace qelo::vcl {

class TStatusBar;

enum TStatusPanelStyle { psText, psOwnerDraw };
extern const EnumInfo kStatusPanelStyleInfo;

// One panel; every change shows at once on its status bar.
class TStatusPanel : public TPersistent {
  QELO_VCL_CLASS()
 public:
  explicit TStatusPanel(TStatusBar& bar) : bar_(bar) {}

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int Width() const { return width_; }
  void SetWidth(int width);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle style);
  int Index() const;

 private:
  void Changed();

  TStatusBar& bar_;
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelStyle style_ = psText;
};

class TStatusPanels : public TPersistent {
  QELO_VCL_CLASS()
 public:
  explicit TStatusPanels(TStatusBar& bar) : bar_(bar) {}
  ~TStatusPanels() override;

  int Count() const { return static_cast<int>(panels_.size()); }
  // EStringListError for an index out of range.
  TStatusPanel* Items(int index) const;
  TStatusPanel* Add();
  void Delete(int index);
  void Clear();

 private:
  TStatusBar& bar_;
  std::vector<TStatusPanel*> panels_;
};

using TDrawPanelEvent = std::function<void(TStatusBar* bar, TStatusPanel* panel, const TRect& rect)>;

class TStatusBar : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;

  TStatusPanels* Panels() const { return panels_; }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool value);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& text);
  // Shown only where the form can be resized.
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool value);
  // The canvas owner-drawn panels are painted on (while OnDrawPanel runs).
  TCanvas* Canvas() const { return canvas_; }

  TDrawPanelEvent OnDrawPanel;

  void Dispatch(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);

 private:
  friend class TStatusPanel;
  friend class TStatusPanels;
  // Pushes the panels' edges and texts to the window.
  void UpdatePanels();
  void UpdatePanel(int index);

  TStatusPanels* panels_;
  TCanvas* canvas_;
  bool simplePanel_ = false;
  std::string simpleText_;
  bool sizeGrip_ = true;
};

}  // namespace qelo::vcl
