// The message box (class "QeloMessageBox"): a modal window of the calling
// thread with an icon, the text wrapped to fit the screen and a row of push
// buttons. The owner's top-level window is disabled while it runs.
#pragma once

#include <functional>
#include <string>

#include "win/controls/basic_common.h"

namespace qelo::win {

inline const char* const WC_MESSAGEBOX = "QeloMessageBox";

constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_TYPEMASK = 0x000F;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x00F0;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;
constexpr UINT MB_DEFMASK = 0x0F00;

// The answers, which are also the ids of the box's buttons.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows the box and runs its messages until a button answers: Enter presses
// the focused (else the default) button, Tab moves between the buttons,
// Escape and the close box answer IDCANCEL (IDOK for a lone OK button) and
// do nothing for Yes/No. A quit message ends the box with 0 and is posted
// again for the outer loop. `owner` may be null or any window of a tree.
int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

// The text a box shows; empty for a window that is not a box.
std::string MessageBoxText(HWND box);
// The box's button that gives `answer`, or null.
HWND MessageBoxButton(HWND box, int answer);

// Told on the box's thread once the box is shown, before any input reaches
// it (scripts answer boxes here). Returns the hook it replaces.
using MessageBoxHook = std::function<void(HWND box)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

}  // namespace qelo::win
