#include "ct_button_group.h"

namespace qelo::ct {

void BroadcastButtonGroup(vcl::TControl& button, vcl::UINT msg, int groupIndex) {
  vcl::TWinControl* parent = button.Parent();
  if (!parent) return;
  vcl::TMessage m{msg, static_cast<vcl::WPARAM>(groupIndex), reinterpret_cast<vcl::LPARAM>(&button), 0};
  parent->Broadcast(m);
}

// lParam is only compared with the siblings' addresses, never followed,
// until it is known to be one of them.
vcl::TControl* ButtonGroupSender(const vcl::TControl& receiver, const vcl::TMessage& message) {
  vcl::TWinControl* parent = receiver.Parent();
  if (!parent) return nullptr;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    vcl::TControl* sibling = parent->Controls(i);
    if (sibling != &receiver && reinterpret_cast<vcl::LPARAM>(sibling) == message.LParam) return sibling;
  }
  return nullptr;
}

}  // namespace qelo::ct
