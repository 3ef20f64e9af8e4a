// The edit window's Effect page: the effects offered, the ones applied in
// their order (at most eight), and the sliders of the chosen one's
// parameters.
#include <algorithm>

#include "edit_window.h"

namespace qelo::app {

using namespace vcl;

namespace {

// The record's parameter `index` (0 or 1).
int32_t& Param(EffectRecord& effect, int index) { return index == 0 ? effect.param1 : effect.param2; }

}  // namespace

void TfrmEditVideo::FillEffectPage() {
  lbEffects->Items()->Clear();
  for (const TEffectChoice& effect : effects_) lbEffects->Items()->Add(effect.name);
  if (!effects_.empty()) lbEffects->SetItemIndex(0);
  ShowChosenEffects(EffectCount(edited_) > 0 ? 0 : -1);
}

void TfrmEditVideo::ShowChosenEffects(int selected) {
  const int count = EffectCount(edited_);
  lbChosen->Items()->Clear();
  for (int i = 0; i < count; ++i) {
    const TEffectChoice* effect = FindEffect(effects_, edited_.effects[i].effectId);
    lbChosen->Items()->Add(effect ? effect->name : "Effect " + std::to_string(edited_.effects[i].effectId));
  }
  lbChosen->SetItemIndex(selected < count ? selected : -1);
  LabChosen->SetCaption("Applied, in order (" + std::to_string(count) + " of " +
                        std::to_string(MAX_SOURCE_EFFECTS) + ")");
  ShowEffectParams();
}

void TfrmEditVideo::ShowEffectParams() {
  const int selected = lbChosen->ItemIndex();
  const int count = EffectCount(edited_);
  btnEffectRemove->SetEnabled(selected >= 0);
  btnEffectUp->SetEnabled(selected > 0);
  btnEffectDown->SetEnabled(selected >= 0 && selected + 1 < count);
  const TEffectChoice* effect = selected >= 0 ? FindEffect(effects_, edited_.effects[selected].effectId) : nullptr;
  if (selected < 0)
    LabParams->SetCaption(count > 0 ? "Choose an applied effect to set it." : "No effect is applied.");
  else if (!effect || effect->params.empty())
    LabParams->SetCaption((effect ? effect->name : std::string("This effect")) + " has no settings.");
  else
    LabParams->SetCaption("Settings of " + effect->name);
  ct::TCtLabel* const names[] = {LabParam1, LabParam2};
  ct::TCtLabel* const values[] = {LabParam1Value, LabParam2Value};
  controls::TQeloTrackBar* const sliders[] = {tbParam1, tbParam2};
  TFlagScope scope(updating_);
  for (int i = 0; i < 2; ++i) {
    const bool shown = effect && static_cast<int>(effect->params.size()) > i;
    names[i]->SetVisible(shown);
    values[i]->SetVisible(shown);
    sliders[i]->SetVisible(shown);
    if (!shown) continue;
    const TEffectParam& param = effect->params[static_cast<size_t>(i)];
    int32_t& value = Param(edited_.effects[selected], i);
    value = ClampParam(param, value);
    names[i]->SetCaption(param.name);
    values[i]->SetCaption(std::to_string(value));
    sliders[i]->SetMax(param.maxValue - param.minValue);
    sliders[i]->SetPosition(value - param.minValue);
  }
}

void TfrmEditVideo::EffectsChanged(int selected) {
  ShowChosenEffects(selected);
  RefreshPreview();
}

void TfrmEditVideo::btnEffectAddClick(TObject*) {
  const int offered = lbEffects->ItemIndex();
  if (offered < 0 || offered >= static_cast<int>(effects_.size())) return;
  if (!AddEffect(edited_, DefaultEffectRecord(effects_[static_cast<size_t>(offered)]))) {
    Application()->MessageBox("A file takes at most " + std::to_string(MAX_SOURCE_EFFECTS) +
                                  " effects. Remove one before you add another.",
                              "Information", MB_OK | MB_ICONINFORMATION);
    return;
  }
  EffectsChanged(EffectCount(edited_) - 1);
}

void TfrmEditVideo::btnEffectRemoveClick(TObject*) {
  const int selected = lbChosen->ItemIndex();
  if (selected < 0) return;
  RemoveEffect(edited_, selected);
  EffectsChanged(std::min(selected, EffectCount(edited_) - 1));
}

void TfrmEditVideo::btnEffectUpClick(TObject*) {
  EffectsChanged(MoveEffect(edited_, lbChosen->ItemIndex(), -1));
}

void TfrmEditVideo::btnEffectDownClick(TObject*) {
  EffectsChanged(MoveEffect(edited_, lbChosen->ItemIndex(), +1));
}

void TfrmEditVideo::lbChosenClick(TObject*) { ShowEffectParams(); }

void TfrmEditVideo::tbParamChange(TObject* sender, int64_t value) {
  if (updating_) return;
  const int selected = lbChosen->ItemIndex();
  if (selected < 0 || selected >= EffectCount(edited_)) return;
  const TEffectChoice* effect = FindEffect(effects_, edited_.effects[selected].effectId);
  const int index = sender == tbParam2 ? 1 : 0;
  if (!effect || static_cast<int>(effect->params.size()) <= index) return;
  const TEffectParam& param = effect->params[static_cast<size_t>(index)];
  const int32_t v = ClampParam(param, static_cast<int32_t>(value) + param.minValue);
  Param(edited_.effects[selected], index) = v;
  (index == 0 ? LabParam1Value : LabParam2Value)->SetCaption(std::to_string(v));
  RefreshPreview();
}

}  // namespace qelo::app
