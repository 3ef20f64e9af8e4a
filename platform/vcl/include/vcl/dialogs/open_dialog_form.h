// The open dialog's form: the folder shown, a list of its folders and of
// the files that match the chosen filter, a file-name field, the filter
// choice, Open and Cancel. Double-clicking a folder (or "..") enters it;
// Open takes the typed or selected names, enters a folder typed alone, and
// checks the names against the options before the run ends.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "vcl/controls/stdctrls.h"
#include "vcl/dialogs/dialogs.h"
#include "vcl/dialogs/file_filter.h"
#include "vcl/dialogs/native_field.h"

namespace qelo::vcl {

struct TOpenDialogSetup {
  std::string title;
  std::vector<TFileFilter> filters;
  int filterIndex = 1;  // 1-based; outside the filters the first pair is shown
  std::filesystem::path folder;
  std::string fileName;  // shown in the file-name field
  std::string defaultExt;
  TOpenOptions options;
};

class TOpenDialogForm : public TForm {
  QELO_VCL_CLASS()
 public:
  TOpenDialogForm(TComponent* owner, TOpenDialogSetup setup);

  const std::filesystem::path& Folder() const { return folder_; }
  // The pair chosen now (1-based; 0 when the filter is empty).
  int FilterIndex() const { return setup_.filters.empty() ? 0 : filterIndex_; }
  // The accepted files, full paths.
  const std::vector<std::string>& Chosen() const { return chosen_; }

  void EnterFolder(const std::filesystem::path& folder);
  void SelectFilter(int index);
  // Takes names (relative to the folder, or absolute) as the choice and
  // ends the run with mrOk; refuses them with a message when the options
  // say so (and returns false).
  bool Choose(const std::vector<std::string>& names);

 private:
  struct Entry {
    std::string name;
    bool folder;
  };
  void Build();
  void Fill();
  std::vector<int> SelectedRows();
  void SelectionChanged();
  void RowDoubleClicked();
  void OpenClicked();
  std::vector<std::string> TypedNames();
  std::filesystem::path Resolve(const std::string& name) const;
  std::string Refusal(const std::filesystem::path& file) const;

  TOpenDialogSetup setup_;
  int filterIndex_;
  std::filesystem::path folder_;
  std::vector<Entry> entries_;
  std::vector<std::string> chosen_;
  TNativeField* folderField_ = nullptr;
  TNativeField* fileList_ = nullptr;
  TNativeField* fileNameField_ = nullptr;
  TNativeField* filterBox_ = nullptr;
  TButton* openButton_ = nullptr;
  TButton* cancelButton_ = nullptr;
};

namespace script {

// An answer for the next modal run, an open dialog: the filter pair to
// choose (1-based, 0 keeps the dialog's) and the names to take, as if typed
// and opened. Names the dialog refuses (its message box answers from the
// queue too) cancel the run, so a script never hangs.
void AnswerOpenDialog(ModalScript& modal, std::vector<std::string> names, int filterIndex = 0);

}  // namespace script

}  // namespace qelo::vcl
