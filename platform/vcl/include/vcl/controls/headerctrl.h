// The header control of the form framework over the native "SysHeader32"
// class: a row of sections with text, width and alignment, drawn by the
// window or (hsOwnerDraw) by OnDrawSection, with click, track and resize
// events.
#pragma once

#include <memory>
#include <vector>

#include "vcl/controls/custom_draw.h"
#include "win/controls/lists/header.h"

namespace qelo::vcl {

class THeaderControl;

enum THeaderSectionStyle { hsText, hsOwnerDraw };
enum TSectionTrackState { tsTrackBegin, tsTrackMove, tsTrackEnd };

class THeaderSection : public TPersistent {
 public:
  THeaderSection(THeaderControl* owner, int index) : owner_(owner), index_(index) {}

  int Index() const { return index_; }
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int Width() const { return width_; }
  void SetWidth(int width);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  THeaderSectionStyle Style() const { return style_; }
  void SetStyle(THeaderSectionStyle style);
  // The left edge: the widths of the sections before this one.
  int Left() const;
  int Right() const { return Left() + width_; }

 private:
  friend class THeaderSections;
  friend class THeaderControl;
  win::HDITEM Native(win::UINT mask) const;
  void Push(win::UINT mask) const;

  THeaderControl* owner_;
  int index_;
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  THeaderSectionStyle style_ = hsText;
};

class THeaderSections {
 public:
  explicit THeaderSections(THeaderControl* owner) : owner_(owner) {}
  THeaderSection* Add();
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(sections_.size()); }
  THeaderSection* Items(int index) const;
  THeaderSection* operator[](int index) const { return Items(index); }

 private:
  friend class THeaderControl;
  void Insert(const THeaderSection& section) const;

  THeaderControl* owner_;
  std::vector<std::unique_ptr<THeaderSection>> sections_;
};

using TDrawSectionEvent =
    std::function<void(THeaderControl* control, THeaderSection* section, const TRect& rect, bool pressed)>;
using TSectionNotifyEvent = std::function<void(THeaderControl* control, THeaderSection* section)>;
using TSectionTrackEvent =
    std::function<void(THeaderControl* control, THeaderSection* section, int width, TSectionTrackState state)>;

class THeaderControl : public TWinControl {
  QELO_VCL_CLASS()
 public:
  explicit THeaderControl(TComponent* owner);

  THeaderSections* Sections() { return &sections_; }
  TCanvas* Canvas() const { return canvas_.get(); }
  void Dispatch(TMessage& message) override;

  TDrawSectionEvent OnDrawSection;
  TSectionNotifyEvent OnSectionClick;
  TSectionNotifyEvent OnSectionResize;
  TSectionTrackEvent OnSectionTrack;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void DrawSection(THeaderSection* section, const TRect& rect, bool pressed);
  virtual void SectionClick(THeaderSection* section);
  virtual void SectionResize(THeaderSection* section);
  virtual void SectionTrack(THeaderSection* section, int width, TSectionTrackState state);

 private:
  friend class THeaderSection;
  friend class THeaderSections;
  win::LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const;
  void NotifyMessage(TMessage& m);
  void DrawItemMessage(TMessage& m);
  THeaderSection* SectionOf(int index) const;

  THeaderSections sections_;
  std::unique_ptr<TCanvas> canvas_;
};

}  // namespace qelo::vcl
