// The output choice of the main window: the two-column drop-down of the
// catalogue's profiles and formats, the current choice on the "Convert to"
// button (its tag, settings line 4), the choice given to the selected jobs
// with their new defaults and output names, and the settings dialog.
#include "advanced_setting.h"
#include "log_bridge.h"
#include "main_window.h"
#include "main_window_rows.h"
#include "main_window_settings.h"
#include "output_names.h"
#include "qelo/fileformat.h"
#include "vcl/sysutils.h"
#include "win/codepage.h"

namespace qelo::app {

using namespace vcl;

namespace {

constexpr int kProfileMenuWidth = 600;
constexpr int kProfileMenuHeight = 400;

std::string CatalogueText(const char16_t* text) { return text ? win::Utf16ToUtf8(text) : std::string(); }

int32_t Choice(int profile, int format) {
  return static_cast<int32_t>(static_cast<uint32_t>(profile) << 16 | (static_cast<uint32_t>(format) & 0xFFFF));
}
int ChoiceProfile(int32_t choice) { return static_cast<int>(static_cast<uint32_t>(choice) >> 16); }
int ChoiceFormat(int32_t choice) { return static_cast<int>(static_cast<uint32_t>(choice) & 0xFFFF); }

}  // namespace

bool TfrmVideoConvertor::ChoiceInCatalogue(int32_t choice) const {
  const int profile = ChoiceProfile(choice);
  const int format = ChoiceFormat(choice);
  return profile < QeloGetDefaultProfileCount() && format < QeloGetFileFormatCount(profile);
}

void TfrmVideoConvertor::FillProfileMenu() {
  if (!profileMenu_) {
    profileMenu_ = new controls::TQeloComBobox(nullptr);
    profileMenu_->OnSelectItem = [this](TObject* sender, const std::string& name, int profile, int format) {
      OnProfileSelected(sender, name, profile, format);
    };
    profileMenu_->SetBounds(0, 0, kProfileMenuWidth, kProfileMenuHeight);
  }
  profileMenu_->ClearGroups();
  int32_t choice = 0;
  ParseSettingsInteger(settings_.Get(slProfileChoice), choice);
  // A choice the catalogue does not hold would be handed to every new file.
  if (!ChoiceInCatalogue(choice)) {
    WriteLog("The settings' output choice " + settings_.Get(slProfileChoice) +
                 " is not in the catalogue; its first format is used.",
             kLogWarning);
    choice = 0;
    settings_.Put(slProfileChoice, "0");
  }
  btnProfile->SetTag(choice);
  const int profiles = QeloGetDefaultProfileCount();
  for (int p = 0; p < profiles; ++p) {
    controls::TComboxStrList& group = *profileMenu_->AddGroup();
    group.Caption = CatalogueText(QeloGetDefaultProfileDes(p));
    const uint8_t* icon = nullptr;
    int32_t iconSize = 0;
    QeloGetDefaultProfileIcon(p, &icon, &iconSize);
    group.IconData = icon;
    group.IconSize = iconSize;
    const int formats = QeloGetFileFormatCount(p);
    for (int f = 0; f < formats; ++f) {
      const std::string name = FormatName(p, f);
      if (Choice(p, f) == choice) ShowChoiceOnProfileButton(p, f, name);
      const uint8_t* formatIcon = nullptr;
      int32_t formatIconSize = 0;
      QeloGetFileFormatIcon(p, f, &formatIcon, &formatIconSize);
      group.AddItem(name, CatalogueText(QeloGetFileFormatDes(p, f)), formatIcon, formatIconSize);
    }
  }
  beOutpath->SetCaption(settings_.Get(slOutputFolder));
  DisableListCommands();
  UpdateSelectionCommands(false);
}

// The button shows the format's name and the profile's icon (when it has
// one; otherwise the button keeps its picture).
void TfrmVideoConvertor::ShowChoiceOnProfileButton(int profile, int, const std::string& caption) {
  btnProfile->SetCaption(caption);
  const uint8_t* icon = nullptr;
  int32_t size = 0;
  if (!QeloGetDefaultProfileIcon(profile, &icon, &size) || !icon || size <= 0) return;
  TPngImage picture;
  try {
    picture.LoadFromMemory(icon, static_cast<size_t>(size));
  } catch (const Exception& error) {
    WriteLog(std::string("A profile's icon cannot be read: ") + error.what(), kLogWarning);
    return;
  }
  btnProfile->SetShowImage(&picture);
}

void TfrmVideoConvertor::btnProfileClick(TObject*) {
  if (!profileMenu_) return;
  const TPoint below = btnProfile->Parent()->ClientToScreen(Point(btnProfile->Left(), btnProfile->Top() + btnProfile->Height()));
  profileMenu_->SetWidth(btnProfile->Width() >= profileMenu_->Width() ? btnProfile->Width() : kProfileMenuWidth);
  profileMenu_->PopupAt(below.x, below.y, this, btnProfile->Height());
}

// The work waits for the message, until the drop-down has closed. The
// message goes to the window's handle: one that is gone takes no message.
void TfrmVideoConvertor::OnProfileSelected(TObject*, const std::string& itemName, int profile, int format) {
  pendingCaption_ = itemName;
  win::PostMessage(Handle(), WM_PROFILE_SELECTED, static_cast<win::WPARAM>(profile), static_cast<win::LPARAM>(format));
}

void TfrmVideoConvertor::WMProfileSelected(int profile, int format) {
  const int32_t choice = Choice(profile, format);
  btnProfile->SetTag(choice);
  settings_.Put(slProfileChoice, std::to_string(choice));
  ShowChoiceOnProfileButton(profile, format, pendingCaption_);
  TListItems& items = *lvMediaFile->Items();
  for (int i : SelectedRowIndexes()) {
    TListItem& row = *items[i];
    if (RowKindOf(RowData(&row)) == rkMergedFile) continue;
    if (TWorkGroupClass* job = jobs_.JobById(RowGroupId(RowData(&row)))) ApplyChoiceToJob(*job, row, profile, format);
  }
  lvMediaFile->Invalidate();
}

// The job takes the format's defaults, and its output name the format's
// extension.
void TfrmVideoConvertor::ApplyChoiceToJob(TWorkGroupClass& job, TListItem& row, int profile, int format) {
  job.profileIndex = profile;
  job.formatIndex = format;
  if (row.SubItems()->Count() > 2) row.SubItems()->Put(2, FormatName(profile, format));
  const std::string old = job.GetOutputName();
  const std::string base = job.JobBaseName();
  QeloGetFileFormatDefault(profile, format, &job.GetFormatSettings());
  const std::string ext = OutputFileExtension(job.GetFormatSettings().formatId);
  std::string name = MakeUniqueOutputName(ChangeFileExt(old, ext), base, job.groupId, ext);
  if (name.empty()) name = old;
  job.SetOutputName(name);
  if (row.SubItems()->Count() > 3) row.SubItems()->Put(3, ExtractFileName(name));
  job.done = 0;
}

// The dialog edits the first selected job's codec values; the other selected
// jobs of the same file format take a copy of them and keep their own
// output names. Jobs of another format keep theirs: the values belong to
// the format's codecs, and its format id to the output's extension.
void TfrmVideoConvertor::btnSettingsClick(TObject*) {
  TListItem* selected = SelectedRow();
  if (!selected) return;
  TWorkGroupClass* job = jobs_.JobById(RowGroupId(RowData(selected)));
  if (!job) return;
  const FileFormatDesc* desc = nullptr;
  QeloGetFileFormatDesEx(job->profileIndex, job->formatIndex, &desc);
  TfrmSettings dialog(this, desc, &job->GetFormatSettings());
  if (dialog.ShowModal() != mrOk) return;
  job->done = 0;
  const FormatSettings& edited = job->GetFormatSettings();
  TListItems& items = *lvMediaFile->Items();
  for (int i : SelectedRowIndexes()) {
    TWorkGroupClass* other = jobs_.JobById(RowGroupId(RowData(items[i])));
    if (!other || other == job || other->GetFormatSettings().formatId != edited.formatId) continue;
    const std::string ownName = other->GetOutputName();
    other->SetFormatSettings(&edited);
    other->SetOutputName(ownName);
    other->done = 0;
  }
}

// A new output folder gives every job a name in it; done marks stay.
void TfrmVideoConvertor::RenameJobsForFolder(const std::string& folder) {
  TListItems& items = *lvMediaFile->Items();
  for (int i = 0; i < items.Count(); ++i) {
    TListItem& row = *items[i];
    if (RowKindOf(RowData(&row)) == rkMergedFile) continue;
    TWorkGroupClass* job = jobs_.JobById(RowGroupId(RowData(&row)));
    if (!job) continue;
    const std::string base = job->JobBaseName();
    const std::string ext = OutputFileExtension(job->GetFormatSettings().formatId);
    const std::string separator = !folder.empty() && folder.back() == '/' ? "" : "/";
    const std::string name = MakeUniqueOutputName(folder + separator + base + ext, base, job->groupId, ext);
    if (name.empty()) continue;
    job->SetOutputName(name);
    if (row.SubItems()->Count() > 3) row.SubItems()->Put(3, ExtractFileName(name));
  }
  lvMediaFile->Invalidate();
}

}  // namespace qelo::app
