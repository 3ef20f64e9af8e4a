// The published combo box with its values, the item object of image combo
// boxes, and the combo box's published properties.
#include "ct_cmbo_bx.h"

namespace qelo::ct {

const vcl::ClassInfo& TCtComboBox::StaticClass() {
  using C = TCtComboBox;
  static const vcl::ClassInfo info = [] {
    vcl::ClassBuilder<C> b("TCtComboBox", TCtCustomComboBox::StaticClass());
    b.Boolean("AllowEdit", &C::AllowEdit, &C::SetAllowEdit)
        .Boolean("AutoComplete", &C::AutoComplete, &C::SetAutoComplete)
        .Boolean("AutoCloseUp", &C::AutoCloseUp, &C::SetAutoCloseUp)
        .Boolean("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown)
        .Boolean("BeepOnInvalidKey", &C::BeepOnInvalidKey, &C::SetBeepOnInvalidKey)
        .Enum("Style", vcl::kComboBoxStyleInfo, &C::Style, &C::SetStyle)
        .Enum("CharCase", vcl::kEditCharCaseInfo, &C::CharCase, &C::SetCharCase)
        .Integer("DropDownCount", &C::DropDownCount, &C::SetDropDownCount)
        .Integer("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth)
        .Boolean("KeepSearchCase", &C::KeepSearchCase, &C::SetKeepSearchCase)
        .Integer("ItemHeight", &C::ItemHeight, &C::SetItemHeight)
        .Integer("MaxLength", &C::MaxLength, &C::SetMaxLength)
        .Boolean("ReadOnly", &C::ReadOnly, &C::SetReadOnly)
        .Boolean("Sorted", &C::Sorted, &C::SetSorted)
        .Boolean("TabOnEnter", &C::TabOnEnter, &C::SetTabOnEnter)
        .String("TextHint", &C::TextHint, &C::SetTextHint)
        .Object<vcl::TStrings>("Items", &C::Items)
        .Integer("ItemIndex", &C::ItemIndex, &C::SetItemIndex)
        .Object<vcl::TStrings>("Values", &C::Values)
        .Event("OnMatch", static_cast<vcl::TNotifyEvent C::*>(&C::OnMatch))
        .Event("OnNotInList", static_cast<vcl::TNotifyEvent C::*>(&C::OnNotInList))
        .Event("OnSelEndCancel", static_cast<vcl::TNotifyEvent C::*>(&C::OnSelEndCancel))
        .Event("OnSelEndOk", static_cast<vcl::TNotifyEvent C::*>(&C::OnSelEndOk))
        .Event("OnDeleteItem", static_cast<TCtDeleteComboItemEvent C::*>(&C::OnDeleteItem))
        .Event("OnChange", static_cast<vcl::TNotifyEvent C::*>(&C::OnChange))
        .Event("OnCloseUp", static_cast<vcl::TNotifyEvent C::*>(&C::OnCloseUp))
        .Event("OnDrawItem", static_cast<vcl::TDrawItemEvent C::*>(&C::OnDrawItem))
        .Event("OnDropDown", static_cast<vcl::TNotifyEvent C::*>(&C::OnDropDown))
        .Event("OnMeasureItem", static_cast<vcl::TMeasureItemEvent C::*>(&C::OnMeasureItem))
        .Event("OnSelect", static_cast<vcl::TNotifyEvent C::*>(&C::OnSelect))
        // The design-time about box carries nothing at run time.
        .Skip("About")
        .Skip("ImeMode")
        .Skip("ImeName");
    PublishFrameProperties(b, {fxReadOnlyColors, fxFlatButtons});
    return b.Done();
  }();
  return info;
}

TCtComboBox::TCtComboBox(vcl::TComponent* owner) : TCtCustomComboBox(owner), values_(new vcl::TStringList) {
  values_->OnChange = [this](vcl::TObject* sender) { ValuesChanged(sender); };
}

TCtComboBox::~TCtComboBox() {
  values_->OnChange = nullptr;
  delete values_;
}

std::string TCtComboBox::GetItemValue(int index) const {
  if (index < 0) return {};
  if (index < values_->Count() && !values_->Get(index).empty()) return values_->Get(index);
  if (index < Items()->Count()) return Items()->Get(index);
  return {};
}

std::string TCtComboBox::GetValue() const {
  int index = ItemIndex();
  if (Style() == vcl::csDropDown || Style() == vcl::csSimple) index = Text().empty() ? -1 : IndexOfItem(Text());
  if (index >= 0 && index < values_->Count() && !values_->Get(index).empty()) return values_->Get(index);
  return Text();
}

void TCtComboBox::SetValue(const std::string& value) {
  if (value == value_ && !valuesChanged_) return;
  {
    vcl::TFlagScope setting(settingValue_);
    int found = -1;
    for (int i = 0; i < Items()->Count() && found < 0; ++i)
      if (GetItemValue(i) == value) found = i;
    SetItemIndex(found);
  }
  value_ = value;
}

void TCtComboBox::SetValues(const vcl::TStrings* values) { values_->Assign(values); }

void TCtComboBox::ValuesChanged(vcl::TObject*) {
  vcl::TFlagScope changing(valuesChanged_);
  SetValue(GetValue());
}

// A choice of the user makes the chosen item's value the current one.
void TCtComboBox::TakeChosenValue() {
  if (ItemIndex() >= 0) SetValue(GetItemValue(ItemIndex()));
}

void TCtComboBox::Change() {
  if (settingValue_ || valuesChanged_) return;
  TCtCustomComboBox::Change();
  TakeChosenValue();
}

void TCtComboBox::Click() {
  if (settingValue_) return;
  TCtCustomComboBox::Click();
  TakeChosenValue();
}

void TCtComboBox::SetItemHeight(int value) {
  if (Style() != vcl::csOwnerDrawFixed || value == ItemHeight()) return;
  TCtCustomComboBox::SetItemHeight(value);
  RecreateWnd();
}

// ---- image combo box items -----------------------------------------------------------

TCtImageComboBoxItem* GetImageComboItem(const vcl::TCustomComboBox& combo, int index) {
  vcl::TObject* object = combo.Items()->GetObject(index);
  if (!object) return nullptr;
  auto* item = dynamic_cast<TCtImageComboBoxItem*>(object);
  if (!item) throw vcl::EInvalidCast("Invalid class typecast");
  return item;
}

}  // namespace qelo::ct
