// The open dialog: a component that a form (or its form file) holds, whose
// Execute runs a modal form of our own to choose one or several existing
// files, and remembers the choice.
#pragma once

#include <string>
#include <vector>

#include "vcl/classes.h"
#include "vcl/strings.h"
#include "vcl/typeinfo.h"

namespace qelo::vcl {

enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
  ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
  ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
  ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
// Form files may name every option; the dialog acts on ofAllowMultiSelect,
// ofPathMustExist, ofFileMustExist, ofEnableSizing and ofForceShowHidden
// (it never shows a read-only box nor changes the working folder).
using TOpenOptions = TSet<TOpenOption>;
extern const EnumInfo kOpenOptionInfo;

class TOpenDialog : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;

  // The (first) chosen file as a full path; before Execute, the name (and
  // folder) to start with.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name) { fileName_ = name; }
  // Every chosen file, full paths, in the order of the choice.
  TStrings* Files() const { return files_; }
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& filter) { filter_ = filter; }
  // 1-based; 0 or a number past the last pair shows the first pair.
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int index) { filterIndex_ = index; }
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& folder) { initialDir_ = folder; }
  // Without a dot ("mp4"): added to a typed name that has no extension.
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& ext);
  // The form's caption; "Open" when empty.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions options) { options_ = options; }

  // Runs the form; true with FileName, Files and FilterIndex set to the
  // choice, false (all three unchanged) when cancelled.
  bool Execute();

 private:
  std::string fileName_;
  TStringList* files_;
  std::string filter_;
  int filterIndex_ = 1;
  std::string initialDir_;
  std::string defaultExt_;
  std::string title_;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
};

// Makes the dialog classes known to form files.
void RegisterDialogClasses();

}  // namespace qelo::vcl
