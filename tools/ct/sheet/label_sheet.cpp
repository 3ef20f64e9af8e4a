#include "label_sheet.h"

#include <string>

#include "ct_label.h"
#include "sheet_label.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::ct::sheet {

using namespace vcl;

namespace {

constexpr int kMargin = 12;
constexpr int kLabelHeight = 18;

TCtLabel* Add(TWinControl* parent, TCtLabel* label, const std::string& caption, int left, int top) {
  label->SetParent(parent);
  label->SetLeft(left);
  label->SetTop(top);
  label->Font()->SetSize(10);
  label->SetCaption(caption);
  return label;
}

TCtLabel* Label(TWinControl* parent, const std::string& caption, int left, int top) {
  return Add(parent, new TCtLabel(parent), caption, left, top);
}

// Plain, raised, recessed and shadowed text, framed, disabled and a link.
void StyleColumn(TWinControl* parent, int left, int top) {
  Label(parent, "Plain label", left, top);
  Label(parent, "Raised text", left, top + 22)->SetTextStyle(tsRaised);
  Label(parent, "Recessed text", left, top + 44)->SetTextStyle(tsRecessed);
  TCtLabel* shadow = Label(parent, "Shadowed text", left, top + 66);
  shadow->SetTextStyle(tsShadow);
  shadow->Font()->SetStyle({fsBold});
  Label(parent, "Disabled label", left, top + 90)->SetEnabled(false);
  Add(parent, new TCtURLLabel(parent), "https://example.org/clipshift", left, top + 112);
}

void FrameColumn(TWinControl* parent, int left, int top) {
  TCtLabel* raised = Label(parent, "Raised and lowered frame", left, top);
  raised->SetBorderOuter(fsRaised);
  raised->SetBorderInner(fsLowered);
  raised->SetTextMargin(3);
  TCtLabel* flat = Label(parent, "Rounded flat frame", left, top + 34);
  flat->SetBorderOuter(fsFlatRounded);
  flat->SetTextMargin(3);
  TCtLabel* atEnd = Label(parent, "Converting every checked file of the list", left, top + 64);
  atEnd->SetCondenseCaption(ccAtEnd);
  atEnd->SetBounds(left, top + 64, 170, kLabelHeight);
  TCtLabel* path = Label(parent, "/home/user/Videos/Holiday/2009/clip.avi", left, top + 86);
  path->SetCondenseCaption(ccWithinPath);
  path->SetBounds(left, top + 86, 170, kLabelHeight);
  TCtLabel* centred = Label(parent, "Centred, status frame", left, top + 110);
  centred->SetAutoSize(false);
  centred->SetAlignment(taCenter);
  centred->SetLayout(tlCenter);
  centred->SetBorderOuter(fsStatus);
  centred->SetBounds(left, top + 110, 170, 26);
}

void TurnedColumn(TWinControl* parent, int left, int top) {
  struct Turn {
    int angle;
    int dx, dy;
  };
  for (const Turn t : {Turn{90, 0, 0}, Turn{30, 30, 0}, Turn{270, 150, 0}, Turn{180, 180, 110}}) {
    TCtLabel* turned = Label(parent, "Turned " + std::to_string(t.angle), left + t.dx, top + t.dy);
    turned->SetAngle(t.angle);
    turned->SetBorderOuter(fsFlat);
  }
  TCtLabel* curved = Label(parent, "Clipshift converts", left + 280, top);
  curved->SetAutoSize(false);
  curved->SetRotation(roCurve);
  curved->SetAngle(80);
  curved->SetBorderOuter(fsFlat);
  curved->SetBounds(left + 280, top, 150, 140);
}

}  // namespace

void AddLabelSheet(TWinControl* parent, int top, int) {
  AddSheetLabel(parent, "Labels", Rect(kMargin, top, kMargin + 300, top + kLabelHeight));
  StyleColumn(parent, kMargin, top + kLabelHeight + 4);
  FrameColumn(parent, kMargin + 190, top + kLabelHeight + 4);
  TurnedColumn(parent, kMargin + 390, top + kLabelHeight + 4);
}

}  // namespace qelo::ct::sheet
