#include "vcl/dialogs/dialogs.h"

#include <filesystem>
#include <system_error>

#include "vcl/dialogs/open_dialog_form.h"

namespace qelo::vcl {

namespace fs = std::filesystem;

const EnumInfo kOpenOptionInfo{
    "TOpenOption",
    {"ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp", "ofNoValidate",
     "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist", "ofCreatePrompt",
     "ofShareAware", "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton", "ofNoLongNames",
     "ofOldStyleDialog", "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing", "ofDontAddToRecent",
     "ofForceShowHidden"}};

const ClassInfo& TOpenDialog::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TOpenDialog>("TOpenDialog", TComponent::StaticClass())
          .String("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
          .String("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
          .Integer("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex)
          .String("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
          .String("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
          .String("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle)
          .Set("Options", kOpenOptionInfo, &TOpenDialog::Options, &TOpenDialog::SetOptions)
          .Done();
  return info;
}

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner), files_(new TStringList) {}

TOpenDialog::~TOpenDialog() { delete files_; }

// A leading dot is not part of the extension.
void TOpenDialog::SetDefaultExt(const std::string& ext) {
  defaultExt_ = !ext.empty() && ext[0] == '.' ? ext.substr(1) : ext;
}

namespace {

bool IsFolder(const fs::path& p) {
  std::error_code ec;
  return !p.empty() && fs::is_directory(p, ec);
}

// The folder to start in: InitialDir, else the folder of FileName, else the
// working folder.
fs::path StartFolder(const std::string& initialDir, const fs::path& fileName) {
  if (IsFolder(initialDir)) return initialDir;
  if (IsFolder(fileName.parent_path())) return fileName.parent_path();
  std::error_code ec;
  return fs::current_path(ec);
}

}  // namespace

bool TOpenDialog::Execute() {
  const fs::path name(fileName_);
  TOpenDialogSetup setup;
  setup.title = title_;
  setup.filters = ParseFileFilter(filter_);
  setup.filterIndex = filterIndex_;
  setup.folder = StartFolder(initialDir_, name);
  setup.fileName = name.filename().string();
  setup.defaultExt = defaultExt_;
  setup.options = options_;
  auto* form = new TOpenDialogForm(nullptr, std::move(setup));
  TModalResult result = mrCancel;
  try {
    result = form->ShowModal();
  } catch (...) {
    form->Free();
    throw;
  }
  const std::vector<std::string> chosen = form->Chosen();
  const int chosenFilter = form->FilterIndex();
  form->Free();
  if (result != mrOk || chosen.empty()) return false;
  files_->Clear();
  for (const std::string& file : chosen) files_->Add(file);
  fileName_ = chosen.front();
  if (chosenFilter > 0) filterIndex_ = chosenFilter;
  return true;
}

void RegisterDialogClasses() {
  static const bool registered = [] {
    RegisterControlClasses();
    RegisterClasses({&TOpenDialog::StaticClass()});
    return true;
  }();
  (void)registered;
}

}  // namespace qelo::vcl
