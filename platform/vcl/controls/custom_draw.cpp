#include "vcl/controls/custom_draw.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace qelo::vcl {
namespace {

template <class Set, class Item>
Set FromBits(win::UINT bits, std::initializer_list<std::pair<win::UINT, Item>> table) {
  Set set;
  for (const auto& [bit, item] : table)
    if (bits & bit) set.Include(item);
  return set;
}

}  // namespace

TOwnerDrawState OwnerDrawState(win::UINT s) {
  using namespace win;
  return FromBits<TOwnerDrawState, TOwnerDrawStateItem>(
      s, {{ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed}, {ODS_DISABLED, odDisabled},
          {ODS_CHECKED, odChecked}, {ODS_FOCUS, odFocused}, {ODS_DEFAULT, odDefault},
          {ODS_COMBOBOXEDIT, odComboBoxEdit}});
}

TCustomDrawState CustomDrawState(win::UINT s) {
  using namespace win;
  return FromBits<TCustomDrawState, TCustomDrawStateItem>(
      s, {{CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed}, {CDIS_DISABLED, cdsDisabled},
          {CDIS_CHECKED, cdsChecked}, {CDIS_FOCUS, cdsFocused}, {CDIS_DEFAULT, cdsDefault}, {CDIS_HOT, cdsHot}});
}

TCustomDrawStage CustomDrawStage(win::DWORD drawStage) {
  switch (drawStage & 0xFFFF) {
    case win::CDDS_POSTPAINT: return cdPostPaint;
    case win::CDDS_PREERASE: return cdPreErase;
    case win::CDDS_POSTERASE: return cdPostErase;
    default: return cdPrePaint;
  }
}

TCanvasOnDC::TCanvasOnDC(TCanvas& canvas, win::HDC dc) : canvas_(canvas), dc_(dc), saved_(win::SaveDC(dc)) {
  canvas_.SetHandle(dc);
}

TCanvasOnDC::~TCanvasOnDC() {
  canvas_.SetHandle(nullptr);
  win::RestoreDC(dc_, saved_);
}

namespace {

bool SameFont(TFont& a, const TFont& b) {
  return a.Color() == b.Color() && a.Name() == b.Name() && a.Size() == b.Size() && a.Style() == b.Style();
}

}  // namespace

win::LRESULT ItemDrawStage(TCanvas& canvas, const TControl& control, win::HDC dc, win::COLORREF& text,
                           win::COLORREF& back, const std::function<bool()>& event) {
  bool defaultDraw;
  {
    TCanvasOnDC lent(canvas, dc);
    canvas.Font()->Assign(control.Font());
    canvas.Brush()->SetColor(control.Color());
    defaultDraw = event();
  }
  if (!defaultDraw) return win::CDRF_SKIPDEFAULT;
  if (SameFont(*canvas.Font(), *control.Font()) && canvas.Brush()->Color() == control.Color()) return win::CDRF_DODEFAULT;
  text = ColorToRGB(canvas.Font()->Color());
  back = ColorToRGB(canvas.Brush()->Color());
  win::SelectObject(dc, canvas.Font()->Handle());
  return win::CDRF_NEWFONT;
}

void CopyText(const std::string& text, char* buffer, int size) {
  if (!buffer || size <= 0) return;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

}  // namespace qelo::vcl
