// A window with one of every basic native control in a typical state.
// With --screenshot PATH it saves the window as a PNG once everything is
// painted and ends; otherwise it runs until closed.
#include <cstdio>
#include <cstring>
#include <string>

#include "sheet.h"
#include "win/controls/button.h"
#include "win/controls/combobox.h"
#include "win/controls/edit.h"
#include "win/controls/listbox.h"
#include "win/controls/progress.h"
#include "win/controls/static.h"
#include "win/controls/statusbar.h"
#include "win/controls/tooltips.h"
#include "win/window/display.h"

using namespace qelo::win;

namespace {

HWND g_status = nullptr;

LRESULT SheetProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      if (g_status) SendMessage(g_status, WM_SIZE, w, l);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProc(window, message, w, l);
  }
}

LRESULT PanelProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_VSCROLL) {
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &info);
    const int code = LOWORD(w);
    int pos = info.nPos;
    if (code == SB_LINEUP) --pos;
    if (code == SB_LINEDOWN) ++pos;
    if (code == SB_PAGEUP) pos -= static_cast<int>(info.nPage);
    if (code == SB_PAGEDOWN) pos += static_cast<int>(info.nPage);
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) pos = HIWORD(w);
    SetScrollPos(window, SB_VERT, pos, 1);
    return 0;
  }
  return DefWindowProc(window, message, w, l);
}

HWND Add(HWND parent, const char* className, const std::string& text, DWORD style, RECT r, UINT id = 0,
         DWORD exStyle = 0) {
  HWND control = CreateWindowEx(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent, nullptr);
  if (control && id) SetWindowLongPtr(control, GWLP_ID, id);
  return control;
}

void Fill(HWND control, UINT message, std::initializer_list<const char*> items) {
  for (const char* item : items) SendMessage(control, message, 0, reinterpret_cast<LPARAM>(item));
}

void AddButtons(HWND sheet) {
  Add(sheet, WC_BUTTON, "Buttons", BS_GROUPBOX, RECT{10, 10, 200, 190});
  Add(sheet, WC_BUTTON, "Convert", BS_DEFPUSHBUTTON | WS_TABSTOP, RECT{20, 30, 100, 54}, 1);
  Add(sheet, WC_BUTTON, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, RECT{108, 30, 188, 54}, 2);
  HWND check = Add(sheet, WC_BUTTON, "Shut Down when done", BS_AUTOCHECKBOX, RECT{20, 62, 190, 80}, 3);
  SendMessage(check, BM_SETCHECK, BST_CHECKED, 0);
  HWND three = Add(sheet, WC_BUTTON, "Three states", BS_AUTO3STATE, RECT{20, 84, 190, 102}, 4);
  SendMessage(three, BM_SETCHECK, BST_INDETERMINATE, 0);
  HWND first = Add(sheet, WC_BUTTON, "Keep the size", BS_AUTORADIOBUTTON | WS_GROUP, RECT{20, 108, 190, 126}, 5);
  Add(sheet, WC_BUTTON, "Fit the screen", BS_AUTORADIOBUTTON, RECT{20, 130, 190, 148}, 6);
  SendMessage(first, BM_SETCHECK, BST_CHECKED, 0);
  HWND off = Add(sheet, WC_BUTTON, "Disabled", BS_PUSHBUTTON, RECT{20, 156, 100, 180}, 7);
  EnableWindow(off, 0);
}

void AddTexts(HWND sheet) {
  Add(sheet, WC_STATIC, "Left text", SS_LEFT, RECT{210, 14, 420, 30});
  Add(sheet, WC_STATIC, "Centred text", SS_CENTER, RECT{210, 32, 420, 48});
  Add(sheet, WC_STATIC, "Right text", SS_RIGHT, RECT{210, 50, 420, 66});
  HWND edit = Add(sheet, WC_EDIT, "Holiday clip.avi", ES_AUTOHSCROLL, RECT{210, 72, 420, 94}, 10, WS_EX_CLIENTEDGE);
  SendMessage(edit, EM_SETSEL, 8, 12);
  HWND cue = Add(sheet, WC_EDIT, "", ES_AUTOHSCROLL, RECT{210, 100, 420, 122}, 11, WS_EX_CLIENTEDGE);
  SendMessage(cue, EM_SETCUEBANNER, 0, reinterpret_cast<LPARAM>("Search the list"));
  Add(sheet, WC_EDIT, "Read-only", ES_READONLY, RECT{210, 128, 420, 150}, 12, WS_EX_CLIENTEDGE);
  SetFocus(edit);
}

void AddLists(HWND sheet) {
  HWND list = Add(sheet, WC_LISTBOX, "", LBS_NOTIFY | WS_VSCROLL, RECT{430, 10, 630, 110}, 20, WS_EX_CLIENTEDGE);
  Fill(list, LB_ADDSTRING, {"MPEG-4", "H.264", "WMV", "FLV", "MPEG-2", "AVI", "MOV", "3GP"});
  SendMessage(list, LB_SETCURSEL, 1, 0);
  HWND codec = Add(sheet, WC_COMBOBOX, "", CBS_DROPDOWNLIST, RECT{430, 118, 630, 140}, 21);
  Fill(codec, CB_ADDSTRING, {"640 x 480", "720 x 576", "1280 x 720"});
  SendMessage(codec, CB_SETCURSEL, 2, 0);
  HWND rate = Add(sheet, WC_COMBOBOX, "25", CBS_DROPDOWN, RECT{430, 148, 630, 170}, 22);
  Fill(rate, CB_ADDSTRING, {"23.976", "25", "29.97"});
}

void AddBars(HWND sheet) {
  HWND bar = Add(sheet, PROGRESS_CLASS, "", 0, RECT{10, 200, 320, 220}, 30);
  SendMessage(bar, PBM_SETPOS, 60, 0);
  HWND smooth = Add(sheet, PROGRESS_CLASS, "", PBS_SMOOTH, RECT{10, 226, 320, 242}, 31);
  SendMessage(smooth, PBM_SETPOS, 35, 0);
  HWND panel = Add(sheet, "SheetPanel", "", WS_VSCROLL | WS_HSCROLL, RECT{10, 250, 320, 420}, 32, WS_EX_CLIENTEDGE);
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = 99;
  info.nPage = 20;
  info.nPos = 30;
  SetScrollInfo(panel, SB_VERT, &info, 1);
  info.nPos = 0;
  info.nPage = 50;
  SetScrollInfo(panel, SB_HORZ, &info, 1);
  g_status = Add(sheet, STATUSCLASSNAME, "", SBARS_SIZEGRIP, RECT{}, 40);
  const int32_t parts[] = {200, 420, -1};
  SendMessage(g_status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  SendMessage(g_status, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("3 files"));
  SendMessage(g_status, SB_SETTEXT, 1, reinterpret_cast<LPARAM>("\tConverting"));
  SendMessage(g_status, SB_SETTEXT, 2, reinterpret_cast<LPARAM>("\t\t60%"));
}

void AddTip(HWND sheet) {
  HWND tip = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, nullptr, nullptr);
  TOOLINFO info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = sheet;
  info.uId = reinterpret_cast<UINT_PTR>(GetWindow(sheet, GW_CHILD));
  info.lpszText = const_cast<char*>("One of every control");
  SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info));
}

void Register(const char* name, WNDPROC procedure) {
  WNDCLASS c;
  c.lpszClassName = name;
  c.lpfnWndProc = procedure;
  c.hbrBackground = SysColorBackground(COLOR_BTNFACE);
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClass(c);
}

void PumpWaiting() {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];
  INITCOMMONCONTROLSEX init;
  init.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  if (!InitCommonControlsEx(&init)) return 1;
  Register("ControlsSheet", SheetProc);
  Register("SheetPanel", PanelProc);
  HWND sheet = CreateWindowEx(0, "ControlsSheet", "Controls sheet", WS_OVERLAPPEDWINDOW, 60, 60, 660, 500, nullptr,
                              nullptr);
  if (sheet == nullptr) return 1;
  AddButtons(sheet);
  AddTexts(sheet);
  AddLists(sheet);
  AddBars(sheet);
  RECT client;
  GetClientRect(sheet, &client);
  sheet::AddListControls(sheet, RECT{330, 200, client.right - 10, client.bottom - 30});
  AddTip(sheet);
  ShowWindow(sheet, SW_SHOW);
  UpdateWindow(sheet);
  if (!screenshot.empty()) {
    PumpWaiting();
    RedrawWindow(sheet, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const bool saved = SaveWindowScreenshot(sheet, screenshot);
    DestroyWindow(sheet);
    if (!saved) std::fprintf(stderr, "could not write %s\n", screenshot.c_str());
    return saved ? 0 : 1;
  }
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  return 0;
}
