#include "ct_shell_dialogs.h"

#include <cstring>

#include "vcl/form_file.h"

namespace qelo::ct {

using namespace vcl;

namespace {

constexpr const char* kBrowseForFolder = "Browse for Folder";
constexpr const char* kOkGlyph = "CTCOMMON_OK";
constexpr const char* kCancelGlyph = "CTCOMMON_CANCEL";
constexpr int kLastWindowState = wsMaximized;
constexpr int kLastPosition = poOwnerFormCenter;

void PutInt32(std::vector<uint8_t>& stream, int32_t value) {
  uint8_t bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  stream.insert(stream.end(), bytes, bytes + sizeof value);
}

int32_t Int32At(const std::vector<uint8_t>& stream, std::size_t offset) {
  int32_t value = 0;
  std::memcpy(&value, stream.data() + offset, sizeof value);
  return value;
}

// The form hands its look to OK and Cancel.
void StyleButton(TCtBitBtn& button, const TCtShellDialog& dialog, const char* glyph) {
  button.SetColor(dialog.ButtonColor());
  button.SetHotTrack(dialog.HotTrack());
  button.SetHighlightColor(dialog.HighlightColor());
  button.SetHotTrackColor(dialog.HotTrackColor());
  button.SetHotTrackColorType(dialog.HotTrackColorType());
  if (dialog.ShowButtonGlyphs()) button.SetGlyphName(glyph);
}

void StyleToolButton(TCtToolButton& button, const TCtShellDialog& dialog) {
  button.SetGradientColorStyle(dialog.ToolBtnGradientColorStyle());
  button.SetSelectionColorStart(dialog.ToolBtnSelectionColorStart());
  button.SetSelectionColorStop(dialog.ToolBtnSelectionColorStop());
  button.SetSelectionFrameColor(dialog.ToolBtnSelectionFrameColor());
  button.SetVisualStyle(dialog.ToolBtnVisualStyle());
}

}  // namespace

// ---- the shared dialog ---------------------------------------------------------------

const ClassInfo& TCtShellDialog::StaticClass() {
  using T = TCtShellDialog;
  static const ClassInfo info =
      ClassBuilder<T>("TCtShellDialog", TComponent::StaticClass())
          .Enum("FormPosition", kPositionInfo, &T::FormPosition, &T::SetFormPosition)
          .Integer("FormLeft", &T::FormLeft, &T::SetFormLeft)
          .Integer("FormTop", &T::FormTop, &T::SetFormTop)
          .Integer("FormWidth", &T::FormWidth, &T::SetFormWidth)
          .Integer("FormHeight", &T::FormHeight, &T::SetFormHeight)
          .Enum("FormWindowState", kWindowStateInfo, &T::FormWindowState, &T::SetFormWindowState)
          .Color("FrameColor", &T::FrameColor, &T::SetFrameColor)
          .Enum("FrameStyle", kFrameStyleInfo, &T::FrameStyle, &T::SetFrameStyle)
          .Boolean("FrameVisible", &T::FrameVisible, &T::SetFrameVisible)
          .Enum("FramingPreference", kFramingPreferenceInfo, &T::FramingPreference, &T::SetFramingPreference)
          .Color("ButtonColor", &T::ButtonColor, &T::SetButtonColor)
          .Boolean("ShowButtonGlyphs", &T::ShowButtonGlyphs, &T::SetShowButtonGlyphs)
          .Boolean("HotTrack", &T::HotTrack, &T::SetHotTrack)
          .Color("HighlightColor", &T::HighlightColor, &T::SetHighlightColor)
          .Color("HotTrackColor", &T::HotTrackColor, &T::SetHotTrackColor)
          .Enum("HotTrackColorType", kCtHotTrackColorTypeInfo, &T::HotTrackColorType, &T::SetHotTrackColorType)
          .Enum("ToolBtnGradientColorStyle", kCtGradientColorStyleInfo, &T::ToolBtnGradientColorStyle,
                &T::SetToolBtnGradientColorStyle)
          .Color("ToolBtnSelectionColorStart", &T::ToolBtnSelectionColorStart, &T::SetToolBtnSelectionColorStart)
          .Color("ToolBtnSelectionColorStop", &T::ToolBtnSelectionColorStop, &T::SetToolBtnSelectionColorStop)
          .Color("ToolBtnSelectionFrameColor", &T::ToolBtnSelectionFrameColor, &T::SetToolBtnSelectionFrameColor)
          .Enum("ToolBtnVisualStyle", kCtVisualStyleInfo, &T::ToolBtnVisualStyle, &T::SetToolBtnVisualStyle)
          .Event("OnInitialized", &T::OnInitialized)
          .Event("OnFormShow", &T::OnFormShow)
          .Event("OnFormClose", &T::OnFormClose)
          .Defined("FormData",
                   [](TObject& self, const FormValue& value) {
                     if (value.type != FormValue::Type::Binary) throw EReadError("FormData must be binary data");
                     if (!static_cast<T&>(self).ReadFormData(value.bytes)) throw EReadError("FormData is damaged");
                   })
          .Done();
  return info;
}

TCtShellDialog::TCtShellDialog(TComponent* owner) : TComponent(owner) {}

bool TCtShellDialog::Execute() {
  if (executing_) throw vcl::Exception(ClassName() + " already executing");
  TFlagScope running(executing_);
  return Run();
}

void TCtShellDialog::WriteFormData(std::vector<uint8_t>& stream) const {
  for (int32_t value : {formLeft_, formTop_, formWidth_, formHeight_}) PutInt32(stream, value);
  stream.push_back(static_cast<uint8_t>(formWindowState_));
  stream.push_back(static_cast<uint8_t>(formPosition_));
}

bool TCtShellDialog::ReadFormData(const std::vector<uint8_t>& stream) {
  if (stream.size() < kFormDataSize) return false;
  const uint8_t state = stream[16], position = stream[17];
  if (state > kLastWindowState || position > kLastPosition) return false;
  formLeft_ = Int32At(stream, 0);
  formTop_ = Int32At(stream, 4);
  formWidth_ = Int32At(stream, 8);
  formHeight_ = Int32At(stream, 12);
  formWindowState_ = static_cast<TWindowState>(state);
  formPosition_ = static_cast<TPosition>(position);
  return true;
}

// ---- the folder selection dialog ---------------------------------------------------------

const ClassInfo& TCtCustomSelectFolderDialog::StaticClass() {
  using T = TCtCustomSelectFolderDialog;
  static const ClassInfo info =
      ClassBuilder<T>("TCtCustomSelectFolderDialog", TCtShellDialog::StaticClass())
          .String("Title", &T::Title, &T::SetTitle)
          .Object<TCtShellLocator>("BaseFolder", &T::BaseFolder)
          .Set("Options", kSelectFolderDialogOptionInfo, &T::Options, &T::SetOptions)
          .Event("OnAddItem", &T::OnAddItem)
          .Event("OnSelChange", &T::OnSelChange)
          .Done();
  return info;
}

const ClassInfo& TCtSelectFolderDialog::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCtSelectFolderDialog>("TCtSelectFolderDialog", TCtCustomSelectFolderDialog::StaticClass()).Done();
  return info;
}

void RegisterCtShellDialogClasses() {
  static const bool registered = [] {
    RegisterCtShellFolderFormClasses();
    RegisterClasses({&TCtSelectFolderDialog::StaticClass()});
    return true;
  }();
  (void)registered;
}

TCtCustomSelectFolderDialog::TCtCustomSelectFolderDialog(TComponent* owner)
    : TCtShellDialog(owner),
      baseFolder_(std::make_unique<TCtShellLocator>()),
      selectedFolder_(std::make_unique<TCtShellLocator>()) {}

TCtCustomSelectFolderDialog::~TCtCustomSelectFolderDialog() = default;

TCtSelectFolderForm* TCtCustomSelectFolderDialog::CreateForm() { return new TCtSelectFolderForm(Application()); }

// The cursor is the hourglass while the form is made and read back, the
// normal one while the user works in it.
bool TCtCustomSelectFolderDialog::Run() {
  if (form_) throw vcl::Exception("TCtSelectFolderDialog form already active");
  TScreenCursorScope hourglass;
  TCtSelectFolderForm* form = CreateForm();
  TModalResult result = mrNone;
  try {
    CopySettingsToForm(*form);
    form_ = form;
    if (OnInitialized) OnInitialized(this);
    {
      TScreenCursorScope normal(crDefault);
      result = form->ShowModal();
    }
    if (!ComponentState().Contains(csDesigning)) CopyResultsFromForm(*form);
  } catch (...) {
    form_ = nullptr;
    form->Free();
    throw;
  }
  form_ = nullptr;
  form->Free();
  return result == mrOk;
}

void TCtCustomSelectFolderDialog::CopySettingsToForm(TCtSelectFolderForm& form) {
  form.OnSelChange = OnSelChange;
  form.OnFormShow = OnFormShow;
  form.OnFormClose = OnFormClose;
  form.ShellTree->OnAddItem = OnAddItem;
  form.SetStatusText(StatusText());

  form.SetPosition(FormPosition());
  if (FormPosition() == poDesigned) form.SetBounds(FormLeft(), FormTop(), form.Width(), form.Height());
  if (FormWidth() > 0) form.SetWidth(FormWidth());
  if (FormHeight() > 0) form.SetHeight(FormHeight());
  form.SetWindowState(FormWindowState());

  form.ApplyOptions(Options());
  form.SetCaption(title_.empty() ? kBrowseForFolder : title_);

  TCtShellTree& tree = *form.ShellTree;
  tree.SetFrameColor(FrameColor());
  tree.SetFrameStyle(FrameStyle());
  tree.SetFrameVisible(FrameVisible());
  tree.SetFramingPreference(FramingPreference());

  StyleButton(*form.btnOk, *this, kOkGlyph);
  StyleButton(*form.btnCancel, *this, kCancelGlyph);
  StyleToolButton(*form.btnNewFolder, *this);
  StyleToolButton(*form.btnDeleteFolder, *this);

  tree.SetBaseFolder(baseFolder_.get());
  tree.SetSelectedFolder(selectedFolder_.get());
}

// The placement is kept after Cancel too; the folder only after OK.
void TCtCustomSelectFolderDialog::CopyResultsFromForm(TCtSelectFolderForm& form) {
  const TRect normal = form.NormalBoundsRect();
  SetFormLeft(normal.left);
  SetFormTop(normal.top);
  SetFormWidth(normal.right - normal.left);
  SetFormHeight(normal.bottom - normal.top);
  SetFormWindowState(form.WindowState());
  SetFormPosition(form.Position());
  if (form.ModalResult() == mrOk) selectedFolder_->Assign(form.ShellTree->SelectedFolder());
}

}  // namespace qelo::ct
