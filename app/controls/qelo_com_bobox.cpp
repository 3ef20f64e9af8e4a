#include "qelo_com_bobox.h"

#include <algorithm>

#include "png_parts.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/text_drawing.h"
#include "vcl/sysutils.h"

namespace qelo::res {
extern const ResourceTable kQeloControlsResources;
}

namespace qelo::controls {

using namespace vcl;

// ---- groups ----------------------------------------------------------------------

TComboxStrList::~TComboxStrList() {
  for (int i = 0; i < IconFiles.Count(); ++i) delete IconFiles.GetObject(i);
}

void TComboxStrList::AddItem(const std::string& name, const std::string& description, const void* iconData,
                             int iconSize) {
  Names.Add(name);
  Descriptions.Add(description);
  IconFiles.AddObject("", new TComboxItemIcon(iconData, iconSize));
}

const TComboxItemIcon* TComboxStrList::ItemIcon(int index) const {
  if (index < 0 || index >= IconFiles.Count()) return nullptr;
  return dynamic_cast<const TComboxItemIcon*>(IconFiles.GetObject(index));
}

// ---- the drop-down -----------------------------------------------------------------

namespace {

constexpr const char* kPictureType = "pngtype";

// The icon from its file when that exists, else from its bytes; false when
// neither gives a picture.
bool LoadIcon(TPngImage& icon, const std::string& file, const void* data, int size) {
  try {
    if (!file.empty() && FileExists(file)) {
      icon.LoadFromFile(file);
      return true;
    }
    if (data && size > 0) {
      icon.LoadFromMemory(data, static_cast<size_t>(size));
      return true;
    }
  } catch (const Exception&) {
    // A damaged icon is left out; the row is still drawn.
  }
  return false;
}

bool Contains(const TRect& r, TPoint p) { return win::PtInRect(&r, p); }

}  // namespace

const ClassInfo& TQeloComBobox::StaticClass() {
  using T = TQeloComBobox;
  static const ClassInfo info = ClassBuilder<T>("TQeloComBobox", TCustomControl::StaticClass())
                                    .Object<TBrush>("Brush", &T::Brush)
                                    .Object<TPen>("Pen", &T::Pen)
                                    .Integer("TypeWidth", &T::TypeWidth, &T::SetTypeWidth)
                                    .Done();
  return info;
}

TQeloComBobox::TQeloComBobox(TComponent* owner)
    : TCustomControl(owner), brush_(new TBrush), pen_(new TPen), timer_(new TTimer(nullptr)) {
  SetControlStyle(TControlStyle{csSetCaption});
  SetDoubleBuffered(true);
  SetVisible(false);
  SetBounds(0, 0, 500, 180);
  brush_->OnChange = [this](TObject*) { Invalidate(); };
  pen_->OnChange = [this](TObject*) { Invalidate(); };
  timer_->SetEnabled(false);
  timer_->SetInterval(kScrollIntervalMs);
  timer_->SetOnTimer([this](TObject* sender) { TimerTick(sender); });
  groupMarker_.LoadFromResourceName(res::kQeloControlsResources, "righttriangle", kPictureType);
  downArrow_.LoadFromResourceName(res::kQeloControlsResources, "downtriangle", kPictureType);
  upArrow_.LoadFromResourceName(res::kQeloControlsResources, "uptriangle", kPictureType);
  arrowBackground_.LoadFromResourceName(res::kQeloControlsResources, "bgtriangle", kPictureType);
}

TQeloComBobox::~TQeloComBobox() {
  timer_->Free();
  delete pen_;
  delete brush_;
}

void TQeloComBobox::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = win::WS_POPUP;
}

void TQeloComBobox::SetTypeWidth(int value) {
  if (value == typeWidth_) return;
  typeWidth_ = value;
  Invalidate();
}

TComboxStrList* TQeloComBobox::AddGroup() {
  groups_.push_back(std::make_unique<TComboxStrList>());
  Invalidate();
  return groups_.back().get();
}

void TQeloComBobox::ClearGroups() {
  groups_.clear();
  hotGroup_ = hotItem_ = firstGroup_ = firstItem_ = 0;
  Invalidate();
}

TComboxStrList* TQeloComBobox::Group(int index) const {
  return index >= 0 && index < GroupCount() ? groups_[static_cast<size_t>(index)].get() : nullptr;
}

TComboxStrList* TQeloComBobox::HotGroupList() const { return Group(firstGroup_ + hotGroup_); }

int TQeloComBobox::LastItemIndex() const {
  const TComboxStrList* group = HotGroupList();
  return group ? group->ItemCount() - 1 : -1;
}

int TQeloComBobox::GroupRows() const { return RoundHalfEven((Height() - 12) / 25.0 - 0.5); }
int TQeloComBobox::ItemRows() const { return RoundHalfEven((Height() - 12) / 50.0 - 0.5); }

TRect TQeloComBobox::GetAreaRect(int row, TAreaKind kind) const {
  const int w = Width(), h = Height(), t = typeWidth_;
  switch (kind) {
    case akGroupRow: return Rect(20, row * 25 + 3, t - 18, row * 25 + 28);
    case akItemRow: return Rect(t + 39, row * 50 + 3, w - 6, row * 50 + 53);
    case akItemDescription: return Rect(t + 41, row * 50 + 23, w - 6, row * 50 + 53);
    case akGroupsUp: return Rect(2, 2, t - 1, downArrow_.Height() + 2);
    case akGroupsDown: return Rect(2, h - 1 - downArrow_.Height(), t - 1, h - 1);
    case akItemsUp: return Rect(t + 2, 2, w - 2, arrowBackground_.Height() + 2);
    case akItemsDown: return Rect(t + 2, h - 1 - downArrow_.Height(), w - 2, h - 1);
  }
  return Rect(0, 0, 0, 0);
}

bool TQeloComBobox::Scrolling() const { return timer_->Enabled(); }

// ---- showing -----------------------------------------------------------------------

void TQeloComBobox::PopupAt(int x, int y, TWinControl* parent, int buttonHeight) {
  SetParent(parent);
  const TRect work = Screen()->WorkAreaRect();
  if (Height() >= RectHeight(work) - y) y = y - Height() - buttonHeight;
  if (x < work.left) x = work.left;
  else if (Width() >= RectWidth(work) - x) x = RectWidth(work) - Width();
  SetBounds(x, y, Width(), Height());
  Show();
  win::SetFocus(Handle());
  win::SetCapture(Handle());
}

void TQeloComBobox::HidePopup() {
  timer_->SetEnabled(false);
  if (HandleAllocated() && win::GetCapture() == WindowHandle()) win::ReleaseCapture();
  Hide();
}

// ---- mouse, wheel and keys -------------------------------------------------------------

void TQeloComBobox::MouseMoved(TPoint p) {
  lastMouse_ = p;
  static constexpr std::pair<TAreaKind, TScrollDir> kArrows[] = {
      {akGroupsUp, sdGroupsUp}, {akGroupsDown, sdGroupsDown}, {akItemsUp, sdItemsUp}, {akItemsDown, sdItemsDown}};
  bool onArrow = false;
  for (const auto& [area, direction] : kArrows) {
    if (!onArrow && Contains(GetAreaRect(0, area), p)) {
      scrollDir_ = direction;
      onArrow = true;
    }
  }
  timer_->SetEnabled(onArrow);
  if (Contains(Rect(6, 6, typeWidth_, Height()), p)) {
    const int lastRow = GroupCount() - 1 - firstGroup_;
    hotGroup_ = std::max(0, std::min(RoundHalfEven(p.y / 25.0 - 0.5), lastRow));
    firstItem_ = 0;
  } else {
    hotItem_ = std::max(0, std::min(RoundHalfEven(p.y / 50.0 - 0.5), ItemRows() - 1));
  }
  Invalidate();
}

void TQeloComBobox::LeftButtonDown(TPoint p) {
  if (!Contains(Rect(1, 1, Width() - 1, Height() - 1), p)) {
    HidePopup();
    return;
  }
  if (!Contains(Rect(typeWidth_, 6, Width(), Height()), p)) return;
  const int item = firstItem_ + RoundHalfEven(p.y / 50.0 - 0.5);
  const TComboxStrList* group = HotGroupList();
  if (!group || item < 0 || item >= group->ItemCount()) return;
  selGroup_ = firstGroup_ + hotGroup_;
  selItem_ = item;
  HidePopup();
  if (OnSelectItem) OnSelectItem(this, group->Names.Get(selItem_), selGroup_, selItem_);
}

void TQeloComBobox::Wheel(int delta) {
  if (!Contains(Rect(1, 1, Width() - 1, Height() - 1), lastMouse_)) return;
  const bool groups = Contains(Rect(6, 6, typeWidth_, Height()), lastMouse_);
  if (groups) ScrollStep(delta <= 0 ? sdGroupsDown : sdGroupsUp);
  else ScrollStep(delta <= 0 ? sdItemsDown : sdItemsUp);
}

void TQeloComBobox::ScrollStep(TScrollDir direction) {
  switch (direction) {
    case sdGroupsDown:
      if (firstGroup_ + GroupRows() - 1 < GroupCount() - 1) ++firstGroup_;
      break;
    case sdGroupsUp:
      if (firstGroup_ > 0) --firstGroup_;
      break;
    case sdItemsDown:
      if (firstItem_ + ItemRows() - 1 < LastItemIndex()) ++firstItem_;
      break;
    case sdItemsUp:
      if (firstItem_ > 0) --firstItem_;
      break;
    case sdNone:
      timer_->SetEnabled(false);
      return;
  }
  Invalidate();
}

void TQeloComBobox::TimerTick(TObject*) { ScrollStep(scrollDir_); }

void TQeloComBobox::KeyDown(uint16_t& key, TShiftState shift) {
  if (key == win::VK_ESCAPE) {
    HidePopup();
    key = 0;
    return;
  }
  TCustomControl::KeyDown(key, shift);
}

void TQeloComBobox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case win::WM_SETFOCUS:
    case win::WM_KILLFOCUS:
      return;  // the popup keeps the focus it was given, and hands nothing on
    case CM_WANTSPECIALKEY:
      // Escape is the popup's own, not the form's cancel key.
      if (m.WParam == win::VK_ESCAPE) {
        m.Result = 1;
        return;
      }
      break;
    case win::WM_MOUSEMOVE:
      MouseMoved(Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)));
      break;
    case win::WM_LBUTTONDOWN:
      LeftButtonDown(Point(win::GET_X_LPARAM(m.LParam), win::GET_Y_LPARAM(m.LParam)));
      return;
    case win::WM_MOUSEWHEEL:
      Wheel(win::GET_WHEEL_DELTA_WPARAM(m.WParam));
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(m);
}

// ---- painting ------------------------------------------------------------------------

void TQeloComBobox::PrepareRow(TCanvas& canvas, const TRect& hotArea, bool hot, TColor hotColor) {
  if (hot) {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(hotColor);
    canvas.FillRect(hotArea);
  }
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetColor(hot ? clWhite : clBlack);
}

void TQeloComBobox::PaintGroups(TCanvas& canvas) {
  const int t = typeWidth_;
  int drawn = 0;
  for (int r = 0; r < GroupRows() && firstGroup_ + r < GroupCount(); ++r, ++drawn) {
    const TComboxStrList& group = *groups_[static_cast<size_t>(firstGroup_ + r)];
    const int y = r * 25 + 6;
    canvas.Font()->Assign(Font());
    PrepareRow(canvas, GetAreaRect(r, akGroupRow), r == hotGroup_, kHotGroupColor);
    TPngImage icon;
    if (LoadIcon(icon, group.IconFile, group.IconData, group.IconSize)) canvas.Draw(2, y, &icon);
    canvas.TextOut(22, y, group.Caption);
    canvas.Draw(t - 20, y, &groupMarker_);
  }
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(kColumnBackground);
  const int top = drawn * 25 + 3;
  if (top < Height() - 1) canvas.FillRect(Rect(1, top, t, Height() - 1));
}

void TQeloComBobox::PaintItems(TCanvas& canvas) {
  const TComboxStrList* group = HotGroupList();
  if (!group) return;
  const int t = typeWidth_;
  for (int r = 0; r < ItemRows() && firstItem_ + r < group->ItemCount(); ++r) {
    const int index = firstItem_ + r;
    const int y = r * 50 + 6;
    canvas.Font()->Assign(Font());
    PrepareRow(canvas, GetAreaRect(r, akItemRow), r == hotItem_, kHotItemColor);
    TPngImage icon;
    const TComboxItemIcon* bytes = group->ItemIcon(index);
    if (LoadIcon(icon, group->IconFiles.Get(index), bytes ? bytes->IconData : nullptr, bytes ? bytes->IconSize : 0))
      canvas.Draw(t + 2, y + 3, &icon);
    canvas.Font()->SetStyle(TFontStyles{fsBold, fsUnderline});
    canvas.Font()->SetSize(Font()->Size() + 2);
    canvas.TextOut(t + 41, y, group->Names.Get(index));
    canvas.Font()->SetStyle(TFontStyles{});
    canvas.Font()->SetSize(Font()->Size());
    TRect description = GetAreaRect(r, akItemDescription);
    DrawCanvasText(canvas, group->Descriptions.Get(index), description, win::DT_WORDBREAK | win::DT_NOPREFIX);
  }
}

void TQeloComBobox::PaintArrow(TCanvas& canvas, TAreaKind kind, TPngImage& arrow) {
  const TRect area = GetAreaRect(0, kind);
  DrawThreeSlices(canvas, arrowBackground_, area.left, area.top - 1, area.right, 10);
  const int x = RoundHalfEven((area.left + area.right) / 2.0) - RoundHalfEven(arrow.Width() / 2.0);
  const int y = RoundHalfEven((area.top + area.bottom) / 2.0) - RoundHalfEven(arrow.Height() / 2.0);
  canvas.Draw(x, y, &arrow);
}

void TQeloComBobox::PaintArrows(TCanvas& canvas) {
  if (firstGroup_ + GroupRows() - 1 < GroupCount() - 1) PaintArrow(canvas, akGroupsDown, downArrow_);
  if (firstGroup_ > 0) PaintArrow(canvas, akGroupsUp, upArrow_);
  if (firstItem_ + ItemRows() - 1 < LastItemIndex()) PaintArrow(canvas, akItemsDown, downArrow_);
  if (firstItem_ > 0) PaintArrow(canvas, akItemsUp, upArrow_);
}

void TQeloComBobox::Paint() {
  TCanvas& canvas = *Canvas();
  canvas.SetPen(pen_);
  canvas.SetBrush(brush_);
  const int inset = pen_->Width() / 2;
  canvas.Rectangle(inset, inset, Width() - inset, Height() - inset);
  canvas.MoveTo(typeWidth_, 0);
  canvas.LineTo(typeWidth_, Height());
  PaintGroups(canvas);
  PaintItems(canvas);
  PaintArrows(canvas);
}

}  // namespace qelo::controls
