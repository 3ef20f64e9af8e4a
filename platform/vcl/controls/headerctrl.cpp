#include "vcl/controls/headerctrl.h"

namespace qelo::vcl {
namespace {

using namespace win;

int SectionFormat(TAlignment alignment, THeaderSectionStyle style) {
  const int justify = alignment == taRightJustify ? HDF_RIGHT : alignment == taCenter ? HDF_CENTER : HDF_LEFT;
  return justify | (style == hsOwnerDraw ? HDF_OWNERDRAW : HDF_STRING);
}

}  // namespace

// ---- sections ------------------------------------------------------------------

HDITEM THeaderSection::Native(UINT mask) const {
  HDITEM item;
  item.mask = mask;
  item.cxy = width_;
  item.pszText = const_cast<char*>(text_.c_str());
  item.fmt = SectionFormat(alignment_, style_);
  return item;
}

void THeaderSection::Push(UINT mask) const {
  HDITEM item = Native(mask);
  owner_->Send(HDM_SETITEM, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&item));
}

void THeaderSection::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Push(HDI_TEXT);
}

void THeaderSection::SetWidth(int width) {
  width = std::max(width, 0);
  if (width == width_) return;
  width_ = width;
  Push(HDI_WIDTH);
}

void THeaderSection::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Push(HDI_FORMAT);
}

void THeaderSection::SetStyle(THeaderSectionStyle style) {
  if (style == style_) return;
  style_ = style;
  Push(HDI_FORMAT);
}

int THeaderSection::Left() const {
  int left = 0;
  for (int i = 0; i < index_; ++i) left += owner_->sections_.Items(i)->width_;
  return left;
}

void THeaderSections::Insert(const THeaderSection& section) const {
  HDITEM item = section.Native(HDI_TEXT | HDI_WIDTH | HDI_FORMAT);
  owner_->Send(HDM_INSERTITEM, static_cast<WPARAM>(section.index_), reinterpret_cast<LPARAM>(&item));
}

THeaderSection* THeaderSections::Add() {
  sections_.push_back(std::make_unique<THeaderSection>(owner_, Count()));
  Insert(*sections_.back());
  return sections_.back().get();
}

THeaderSection* THeaderSections::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return sections_[static_cast<size_t>(index)].get();
}

void THeaderSections::Delete(int index) {
  Items(index);
  owner_->Send(HDM_DELETEITEM, static_cast<WPARAM>(index));
  sections_.erase(sections_.begin() + index);
  for (int i = index; i < Count(); ++i) sections_[static_cast<size_t>(i)]->index_ = i;
}

void THeaderSections::Clear() {
  while (Count() > 0) Delete(Count() - 1);
}

// ---- the control ---------------------------------------------------------------------

const ClassInfo& THeaderControl::StaticClass() {
  static const ClassInfo info = ClassBuilder<THeaderControl>("THeaderControl", TWinControl::StaticClass())
                                    .Event("OnDrawSection", &THeaderControl::OnDrawSection)
                                    .Event("OnSectionClick", &THeaderControl::OnSectionClick)
                                    .Event("OnSectionResize", &THeaderControl::OnSectionResize)
                                    .Event("OnSectionTrack", &THeaderControl::OnSectionTrack)
                                    .Done();
  return info;
}

THeaderControl::THeaderControl(TComponent* owner)
    : TWinControl(owner), sections_(this), canvas_(std::make_unique<TCanvas>()) {
  SetBounds(Left(), Top(), 200, 17);
  SetAlign(alTop);
}

LRESULT THeaderControl::Send(UINT msg, WPARAM w, LPARAM l) const {
  return HandleAllocated() ? win::SendMessage(WindowHandle(), msg, w, l) : 0;
}

void THeaderControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = WC_HEADER;
  p.Style |= HDS_BUTTONS | HDS_FULLDRAG;
}

void THeaderControl::CreateWnd() {
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  TWinControl::CreateWnd();
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  for (const auto& section : sections_.sections_) sections_.Insert(*section);
}

THeaderSection* THeaderControl::SectionOf(int index) const {
  return index >= 0 && index < sections_.Count() ? sections_.sections_[static_cast<size_t>(index)].get() : nullptr;
}

void THeaderControl::DrawSection(THeaderSection* section, const TRect& rect, bool pressed) {
  if (OnDrawSection) OnDrawSection(this, section, rect, pressed);
}

void THeaderControl::SectionClick(THeaderSection* section) {
  if (OnSectionClick) OnSectionClick(this, section);
}

void THeaderControl::SectionResize(THeaderSection* section) {
  if (OnSectionResize) OnSectionResize(this, section);
}

void THeaderControl::SectionTrack(THeaderSection* section, int width, TSectionTrackState state) {
  if (OnSectionTrack) OnSectionTrack(this, section, width, state);
}

void THeaderControl::NotifyMessage(TMessage& m) {
  auto* n = reinterpret_cast<NMHEADER*>(m.LParam);
  m.Result = 0;
  THeaderSection* section = SectionOf(n->iItem);
  if (!section || ComponentState().Contains(csDestroying)) return;
  const int width = n->pitem && (n->pitem->mask & HDI_WIDTH) ? n->pitem->cxy : section->width_;
  switch (n->hdr.code) {
    case HDN_ITEMCLICK: return SectionClick(section);
    case HDN_BEGINTRACK: return SectionTrack(section, width, tsTrackBegin);
    case HDN_TRACK: return SectionTrack(section, width, tsTrackMove);
    case HDN_ENDTRACK: return SectionTrack(section, width, tsTrackEnd);
    case HDN_ITEMCHANGED:
      // The window's width is the section's; a user's drag ends here.
      if (!n->pitem || !(n->pitem->mask & HDI_WIDTH) || n->pitem->cxy == section->width_) return;
      section->width_ = n->pitem->cxy;
      return SectionResize(section);
    default: return;
  }
}

void THeaderControl::DrawItemMessage(TMessage& m) {
  auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  if (THeaderSection* section = SectionOf(static_cast<int>(d->itemID))) {
    TCanvasOnDC lent(*canvas_, d->hDC);
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->SetColor(clBtnFace);
    DrawSection(section, Rect(d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom),
                (d->itemState & ODS_SELECTED) != 0);
  }
  m.Result = 1;
}

void THeaderControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: return NotifyMessage(m);
    case CN_DRAWITEM: return DrawItemMessage(m);
    case CM_FONTCHANGED:
      Send(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 1);
      return TWinControl::Dispatch(m);
    default: return TWinControl::Dispatch(m);
  }
}

}  // namespace qelo::vcl
