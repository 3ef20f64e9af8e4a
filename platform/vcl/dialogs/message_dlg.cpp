#include "vcl/dialogs/message_dlg.h"

#include <iterator>

#include "vcl/controls/forms.h"

namespace qelo::vcl {

namespace {

struct ButtonSet {
  TMsgDlgButtons buttons;
  UINT flags;
};

const ButtonSet kButtonSets[] = {
    {{mbOK}, MB_OK},
    {{mbOK, mbCancel}, MB_OKCANCEL},
    {{mbYes, mbNo}, MB_YESNO},
    {{mbYes, mbNo, mbCancel}, MB_YESNOCANCEL},
    {{mbAbort, mbRetry, mbIgnore}, MB_ABORTRETRYIGNORE},
    {{mbRetry, mbCancel}, MB_RETRYCANCEL},
};

struct Kind {
  const char* caption;  // null: the application's title
  UINT icon;
};

// In the order of TMsgDlgType.
const Kind kKinds[] = {
    {"Warning", MB_ICONWARNING}, {"Error", MB_ICONERROR}, {"Information", MB_ICONINFORMATION},
    {"Confirm", MB_ICONQUESTION}, {nullptr, 0},
};

}  // namespace

int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons, int /*helpContext*/) {
  const ButtonSet* set = nullptr;
  for (const ButtonSet& s : kButtonSets)
    if (s.buttons == buttons) set = &s;
  if (!set) throw EInvalidOperation("A message dialog cannot have this set of buttons");
  const auto index = static_cast<size_t>(type);
  if (index >= std::size(kKinds)) throw EInvalidOperation("Unknown message dialog kind");
  const Kind& kind = kKinds[index];
  return Application()->MessageBox(message, kind.caption ? kind.caption : "", set->flags | kind.icon);
}

void ShowMessage(const std::string& message) { Application()->MessageBox(message, "", MB_OK); }

}  // namespace qelo::vcl
