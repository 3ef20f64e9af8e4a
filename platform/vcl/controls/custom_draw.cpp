#include "vcl/controls/custom_draw.h"

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
          {ODS_CHECKED, odChecked}, {ODS_FOCUS, odFocused}, {ODS_DEFAULT, odDefault}});
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

}  // namespace qelo::vcl
