#include "popup_probe.h"

#include "vcl/controls/forms.h"
#include "win/window/display.h"

namespace qelo::ct::test {

using namespace vcl;

TPopupMenu* MakeProbeMenu(TComponent* owner, const std::string& name, std::function<void(TPopupMenu&)> opened) {
  auto* menu = new TPopupMenu(owner);
  menu->SetName(name);
  auto* item = new TMenuItem(menu);
  item->SetCaption("&Open");
  menu->Items()->Add(item);
  menu->OnPopup = [menu, opened](TObject*) {
    opened(*menu);
    Application()->Post([] {
      win::InjectKey(win::VK_ESCAPE, true);
      win::InjectKey(win::VK_ESCAPE, false);
    });
  };
  return menu;
}

std::string PopupTarget(const TPopupMenu& menu) {
  return menu.Name() + ":" + (menu.PopupComponent() ? menu.PopupComponent()->Name() : "none");
}

}  // namespace qelo::ct::test
