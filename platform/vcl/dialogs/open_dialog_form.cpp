#include "vcl/dialogs/open_dialog_form.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "win/controls/combobox.h"
#include "win/controls/edit.h"
#include "win/controls/listbox.h"

namespace qelo::vcl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kParentEntry = "..";

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "a.mp4" "b.mp4" -> a.mp4, b.mp4; text outside quotes is one name each
// run of non-blanks.
std::vector<std::string> SplitQuotedNames(const std::string& text) {
  std::vector<std::string> names;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
    } else if (text[i] == '"') {
      const size_t end = text.find('"', i + 1);
      const std::string name = text.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
      if (!name.empty()) names.push_back(name);
      i = end == std::string::npos ? text.size() : end + 1;
    } else {
      const size_t end = std::min(text.find(' ', i), text.size());
      names.push_back(text.substr(i, end - i));
      i = end;
    }
  }
  return names;
}

std::string QuotedNames(const std::vector<std::string>& names) {
  if (names.size() == 1) return names[0];
  std::string text;
  for (const std::string& n : names) text += (text.empty() ? "\"" : " \"") + n + "\"";
  return text;
}

TLabel* AddLabel(TForm* form, const char* caption, int left, int top) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetCaption(caption);
  label->SetLeft(left);
  label->SetTop(top);
  return label;
}

TButton* AddButton(TForm* form, const char* name, const char* caption, TModalResult result) {
  auto* b = new TButton(form);
  b->SetName(name);
  b->SetParent(form);
  b->SetCaption(caption);
  b->SetModalResult(result);
  return b;
}

TNativeField* AddField(TForm* form, const char* name, const char* windowClass, win::DWORD style) {
  auto* f = new TNativeField(form, windowClass, style);
  f->SetName(name);
  f->SetParent(form);
  return f;
}

}  // namespace

const ClassInfo& TOpenDialogForm::StaticClass() {
  static const ClassInfo info = ClassBuilder<TOpenDialogForm>("TOpenDialogForm", TForm::StaticClass()).Done();
  return info;
}

TOpenDialogForm::TOpenDialogForm(TComponent* owner, TOpenDialogSetup setup)
    : TForm(owner), setup_(std::move(setup)) {
  const int count = static_cast<int>(setup_.filters.size());
  filterIndex_ = setup_.filterIndex >= 1 && setup_.filterIndex <= count ? setup_.filterIndex : 1;
  SetName("dlgOpen");
  SetCaption(setup_.title.empty() ? "Open" : setup_.title);
  SetBorderStyle(setup_.options.Contains(ofEnableSizing) ? bsSizeable : bsDialog);
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetPosition(poScreenCenter);
  SetClientWidth(430);
  SetClientHeight(290);
  Build();
  SetActiveControl(fileNameField_);
  EnterFolder(setup_.folder);
  fileNameField_->SetWindowText(setup_.fileName);
  // Shown selected, so that a name the user types replaces it.
  fileNameField_->Send(win::EM_SETSEL, 0, static_cast<LPARAM>(-1));
}

void TOpenDialogForm::Build() {
  const bool multi = setup_.options.Contains(ofAllowMultiSelect);
  const TAnchors bottomLeft{akLeft, akBottom}, bottomWide{akLeft, akRight, akBottom}, bottomRight{akRight, akBottom};
  AddLabel(this, "Look in:", 8, 11);
  folderField_ = AddField(this, "edtFolder", win::WC_EDIT, win::ES_READONLY | win::ES_AUTOHSCROLL | win::WS_BORDER);
  folderField_->SetBounds(90, 8, 332, 21);
  folderField_->SetTabStop(false);
  folderField_->SetAnchors(TAnchors{akLeft, akTop, akRight});
  fileList_ = AddField(this, "lstFiles", win::WC_LISTBOX,
                       win::LBS_NOTIFY | win::LBS_NOINTEGRALHEIGHT | win::WS_VSCROLL | win::WS_BORDER | (multi ? win::LBS_EXTENDEDSEL : 0));
  fileList_->SetBounds(8, 36, 414, 176);
  fileList_->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
  fileList_->OnCommand = [this](UINT code) {
    if (code == win::LBN_SELCHANGE) SelectionChanged();
    else if (code == win::LBN_DBLCLK) RowDoubleClicked();
  };
  AddLabel(this, "File name:", 8, 227)->SetAnchors(bottomLeft);
  fileNameField_ = AddField(this, "edtFileName", win::WC_EDIT, win::ES_AUTOHSCROLL | win::WS_BORDER);
  fileNameField_->SetBounds(90, 224, 248, 21);
  fileNameField_->SetAnchors(bottomWide);
  AddLabel(this, "Files of type:", 8, 259)->SetAnchors(bottomLeft);
  filterBox_ = AddField(this, "cbxFilter", win::WC_COMBOBOX, win::CBS_DROPDOWNLIST);
  filterBox_->SetBounds(90, 256, 248, 21);
  filterBox_->SetAnchors(bottomWide);
  std::vector<std::string> descriptions;
  for (const TFileFilter& f : setup_.filters) descriptions.push_back(f.description);
  filterBox_->SetItems(descriptions, win::CB_RESETCONTENT, win::CB_ADDSTRING);
  filterBox_->Send(win::CB_SETCURSEL, static_cast<WPARAM>(filterIndex_ - 1));
  filterBox_->OnCommand = [this](UINT code) {
    if (code == win::CBN_SELCHANGE)
      SelectFilter(static_cast<int>(filterBox_->Send(win::CB_GETCURSEL)) + 1);
  };
  // Open decides itself whether the run ends.
  openButton_ = AddButton(this, "btnOpen", "&Open", mrNone);
  openButton_->SetBounds(347, 223, 75, 23);
  openButton_->SetAnchors(bottomRight);
  openButton_->SetDefault(true);
  openButton_->OnClick = [this](TObject*) { OpenClicked(); };
  cancelButton_ = AddButton(this, "btnCancel", "Cancel", mrCancel);
  cancelButton_->SetBounds(347, 255, 75, 23);
  cancelButton_->SetAnchors(bottomRight);
  cancelButton_->SetCancel(true);
}

void TOpenDialogForm::EnterFolder(const fs::path& folder) {
  std::error_code ec;
  fs::path absolute = fs::absolute(folder, ec).lexically_normal();
  if (ec) return;
  if (!absolute.has_filename() && absolute.has_relative_path()) absolute = absolute.parent_path();
  folder_ = absolute;
  folderField_->SetWindowText(folder_.string());
  Fill();
}

void TOpenDialogForm::SelectFilter(int index) {
  if (index < 1 || index > static_cast<int>(setup_.filters.size()) || index == filterIndex_) return;
  filterIndex_ = index;
  filterBox_->Send(win::CB_SETCURSEL, static_cast<WPARAM>(index - 1));
  Fill();
}

// Folders first, then the files the filter takes, each sorted by name;
// an unreadable folder lists nothing but "..".
void TOpenDialogForm::Fill() {
  const bool showHidden = setup_.options.Contains(ofForceShowHidden);
  const TFileFilter* filter = setup_.filters.empty() ? nullptr : &setup_.filters[static_cast<size_t>(filterIndex_ - 1)];
  std::vector<std::string> folders, files;
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || (name[0] == '.' && !showHidden)) continue;
    std::error_code typeError;
    if (it->is_directory(typeError)) folders.push_back(name);
    else if (!filter || MatchesFilter(name, *filter)) files.push_back(name);
  }
  std::sort(folders.begin(), folders.end(), LessNoCase);
  std::sort(files.begin(), files.end(), LessNoCase);
  entries_.clear();
  if (folder_ != folder_.root_path()) entries_.push_back({kParentEntry, true});
  for (const std::string& f : folders) entries_.push_back({f, true});
  for (const std::string& f : files) entries_.push_back({f, false});
  std::vector<std::string> rows;
  for (const Entry& e : entries_) rows.push_back(e.folder && e.name != kParentEntry ? e.name + "/" : e.name);
  fileList_->SetItems(rows, win::LB_RESETCONTENT, win::LB_ADDSTRING);
}

std::vector<int> TOpenDialogForm::SelectedRows() {
  if (!setup_.options.Contains(ofAllowMultiSelect)) {
    const auto row = static_cast<int>(fileList_->Send(win::LB_GETCURSEL));
    return row < 0 ? std::vector<int>{} : std::vector<int>{row};
  }
  const auto count = static_cast<int>(fileList_->Send(win::LB_GETSELCOUNT));
  if (count <= 0) return {};
  std::vector<int32_t> rows(static_cast<size_t>(count));
  fileList_->Send(win::LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
  return {rows.begin(), rows.end()};
}

// The selected files go to the file-name field; selecting only folders
// leaves it as it is.
void TOpenDialogForm::SelectionChanged() {
  std::vector<std::string> names;
  for (int row : SelectedRows())
    if (row < static_cast<int>(entries_.size()) && !entries_[static_cast<size_t>(row)].folder)
      names.push_back(entries_[static_cast<size_t>(row)].name);
  if (!names.empty()) fileNameField_->SetWindowText(QuotedNames(names));
}

void TOpenDialogForm::RowDoubleClicked() {
  const auto row = static_cast<int>(fileList_->Send(win::LB_GETCARETINDEX));
  if (row < 0 || row >= static_cast<int>(entries_.size())) return;
  const Entry entry = entries_[static_cast<size_t>(row)];
  if (entry.folder) EnterFolder(folder_ / entry.name);
  else Choose({entry.name});
}

std::vector<std::string> TOpenDialogForm::TypedNames() {
  const std::string text = Trim(fileNameField_->WindowText());
  if (text.empty()) return {};
  if (setup_.options.Contains(ofAllowMultiSelect) && text.find('"') != std::string::npos) return SplitQuotedNames(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return {text.substr(1, text.size() - 2)};
  return {text};
}

// Open: a single folder (typed, or the one selected row with an empty
// field) is entered; otherwise the typed names are the choice.
void TOpenDialogForm::OpenClicked() {
  const std::vector<std::string> names = TypedNames();
  if (names.empty()) {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() == 1 && entries_[static_cast<size_t>(rows[0])].folder)
      EnterFolder(folder_ / entries_[static_cast<size_t>(rows[0])].name);
    return;
  }
  std::error_code ec;
  if (names.size() == 1 && fs::is_directory(Resolve(names[0]), ec)) {
    EnterFolder(Resolve(names[0]));
    fileNameField_->SetWindowText("");
    return;
  }
  Choose(names);
}

fs::path TOpenDialogForm::Resolve(const std::string& name) const {
  fs::path p = fs::path(name).is_absolute() ? fs::path(name) : folder_ / name;
  p = p.lexically_normal();
  std::error_code ec;
  if (!setup_.defaultExt.empty() && !p.has_extension() && !fs::exists(p, ec)) p += "." + setup_.defaultExt;
  return p;
}

// Why a chosen file cannot be taken, or empty when it can.
std::string TOpenDialogForm::Refusal(const fs::path& file) const {
  std::error_code ec;
  const bool mustExist = setup_.options.Contains(ofFileMustExist);
  if ((mustExist || setup_.options.Contains(ofPathMustExist)) && !fs::is_directory(file.parent_path(), ec))
    return file.string() + "\nThe folder does not exist.\nCheck the folder name and try again.";
  if (fs::is_directory(file, ec)) return file.string() + "\nA folder cannot be opened as a file.";
  if (mustExist && !fs::exists(file, ec))
    return file.string() + "\nFile not found.\nCheck the file name and try again.";
  return {};
}

bool TOpenDialogForm::Choose(const std::vector<std::string>& names) {
  if (names.empty()) return false;
  std::vector<std::string> chosen;
  for (const std::string& name : names) {
    const fs::path file = Resolve(name);
    if (const std::string refusal = Refusal(file); !refusal.empty()) {
      Application()->MessageBox(refusal, Caption(), MB_OK | MB_ICONWARNING);
      return false;
    }
    chosen.push_back(file.string());
  }
  chosen_ = std::move(chosen);
  SetModalResult(mrOk);
  return true;
}

namespace script {

void AnswerOpenDialog(ModalScript& modal, std::vector<std::string> names, int filterIndex) {
  modal.Answer([names = std::move(names), filterIndex](TCustomForm& form) {
    auto* dialog = dynamic_cast<TOpenDialogForm*>(&form);
    if (!dialog) {
      form.SetModalResult(mrCancel);
      return;
    }
    if (filterIndex > 0) dialog->SelectFilter(filterIndex);
    if (!dialog->Choose(names)) dialog->SetModalResult(mrCancel);
  });
}

}  // namespace script

}  // namespace qelo::vcl
