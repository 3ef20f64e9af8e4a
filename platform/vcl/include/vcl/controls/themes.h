// Theme services. This platform draws the classic look only: themes are
// reported as not available and not enabled, so every control takes its
// classic drawing path. The drawing entry points exist for the controls
// that ask for them and draw nothing.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::vcl {

enum TThemedElement { teButton, teComboBox, teEdit, teHeader, teListView, teProgress, teStatus, teToolBar,
                      teTreeview, teWindow, teExplorerBar };

// The themed pieces the controls name, element by element.
enum TThemedButton {
  tbButtonDontCare, tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDisabled,
  tbPushButtonDefaulted, tbRadioButtonUncheckedNormal, tbRadioButtonUncheckedHot, tbRadioButtonUncheckedPressed,
  tbRadioButtonUncheckedDisabled, tbRadioButtonCheckedNormal, tbRadioButtonCheckedHot, tbRadioButtonCheckedPressed,
  tbRadioButtonCheckedDisabled, tbCheckBoxUncheckedNormal, tbCheckBoxUncheckedHot, tbCheckBoxUncheckedPressed,
  tbCheckBoxUncheckedDisabled, tbCheckBoxCheckedNormal, tbCheckBoxCheckedHot, tbCheckBoxCheckedPressed,
  tbCheckBoxCheckedDisabled, tbCheckBoxMixedNormal, tbCheckBoxMixedHot, tbCheckBoxMixedPressed,
  tbCheckBoxMixedDisabled, tbGroupBoxNormal, tbGroupBoxDisabled
};
enum TThemedComboBox { tcComboBoxDontCare, tcDropDownButtonNormal, tcDropDownButtonHot, tcDropDownButtonPressed,
                       tcDropDownButtonDisabled };
enum TThemedHeader { thHeaderDontCare, thHeaderItemNormal, thHeaderItemHot, thHeaderItemPressed,
                     thHeaderSortArrowSortedUp, thHeaderSortArrowSortedDown };
enum TThemedProgress { tpProgressDontCare, tpBar, tpBarVert, tpChunk, tpChunkVert };
enum TThemedStatus { tsStatusDontCare, tsPane, tsGripperPane, tsGripper };
enum TThemedToolBar { ttbToolBarDontCare, ttbButtonNormal, ttbButtonHot, ttbButtonPressed, ttbButtonDisabled,
                      ttbButtonChecked, ttbButtonCheckedHot, ttbSplitButtonNormal, ttbSplitButtonHot,
                      ttbSplitButtonPressed, ttbSplitButtonDisabled, ttbSeparatorNormal };

struct TThemedElementDetails {
  TThemedElement Element = teButton;
  int Part = 0;  // the piece's ordinal within its element's enumeration
  int State = 0;
};

class TThemeServices {
 public:
  // Always false here: the classic look is the only one.
  bool ThemesAvailable() const { return false; }
  bool ThemesEnabled() const { return false; }

  TThemedElementDetails GetElementDetails(TThemedButton piece) const { return {teButton, piece, 0}; }
  TThemedElementDetails GetElementDetails(TThemedComboBox piece) const { return {teComboBox, piece, 0}; }
  TThemedElementDetails GetElementDetails(TThemedHeader piece) const { return {teHeader, piece, 0}; }
  TThemedElementDetails GetElementDetails(TThemedProgress piece) const { return {teProgress, piece, 0}; }
  TThemedElementDetails GetElementDetails(TThemedStatus piece) const { return {teStatus, piece, 0}; }
  TThemedElementDetails GetElementDetails(TThemedToolBar piece) const { return {teToolBar, piece, 0}; }

  // Drawing that only themes do: nothing while themes are off.
  void DrawElement(win::HDC dc, const TThemedElementDetails& details, const TRect& r,
                   const TRect* clip = nullptr) const;
  void DrawText(win::HDC dc, const TThemedElementDetails& details, std::string_view text, const TRect& r,
                win::UINT flags) const;
  void DrawParentBackground(win::HWND window, win::HDC dc, const TThemedElementDetails* details,
                            bool onlyIfTransparent, const TRect* r = nullptr) const;
  // A colour property (TMT_BORDERCOLOR 3801, TMT_FILLCOLOR 3802,
  // TMT_TEXTCOLOR 3803, TMT_GRADIENTCOLOR1 3810) of a themed piece; false,
  // and nothing set, while themes are off.
  bool GetElementColor(const TThemedElementDetails& details, int propertyId, TColor& color) const;

  TNotifyEvent OnThemeChange;
};

TThemeServices* ThemeServices();

}  // namespace qelo::vcl
