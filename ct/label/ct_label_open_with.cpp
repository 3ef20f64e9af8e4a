#include "ct_label_open_with.h"

#include <gio/gio.h>

#include <vector>

#include "shell/shell_log.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/listbox.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::ct {
namespace {

using namespace vcl;

constexpr int kWidth = 360, kHeight = 290, kMargin = 10;

// The form holds a reference to each program it lists until it is freed.
class TOpenWithForm : public TForm {
 public:
  TOpenWithForm(const std::string& contentType, const std::string& pattern)
      : TForm(Application()), contentType_(contentType) {
    SetName(kOpenWithFormName);
    SetCaption("Open With");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(kWidth);
    SetClientHeight(kHeight);
    OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    ListPrograms();
    BuildControls(pattern);
  }
  ~TOpenWithForm() override {
    for (GAppInfo* app : programs_) g_object_unref(app);
  }

 private:
  void ListPrograms() {
    GList* all = g_app_info_get_all_for_type(contentType_.c_str());
    for (GList* it = all; it; it = it->next) programs_.push_back(G_APP_INFO(it->data));
    g_list_free(all);  // the references now belong to programs_
  }

  void BuildControls(const std::string& pattern) {
    auto* prompt = new TLabel(this);
    prompt->SetParent(this);
    prompt->SetWordWrap(true);
    prompt->SetAutoSize(false);
    prompt->SetBounds(kMargin, kMargin, kWidth - 2 * kMargin, 34);
    prompt->SetCaption(programs_.empty()
                           ? "No program on this system opens files of this kind (" + pattern + ")."
                           : "Choose the program that opens files of this kind (" + pattern + "):");

    list_ = new TListBox(this);
    list_->SetName("lstPrograms");
    list_->SetParent(this);
    list_->SetBounds(kMargin, 50, kWidth - 2 * kMargin, kHeight - 50 - 45);
    for (GAppInfo* app : programs_) list_->Items()->Add(g_app_info_get_display_name(app));
    if (!programs_.empty()) list_->SetItemIndex(0);
    list_->OnDblClick = [this](TObject*) { Choose(); };

    auto* ok = new TButton(this);
    ok->SetName("btnOk");
    ok->SetParent(this);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetEnabled(!programs_.empty());
    ok->SetBounds(kWidth - 2 * 85, kHeight - 35, 75, 25);
    ok->OnClick = [this](TObject*) { Choose(); };

    auto* cancel = new TButton(this);
    cancel->SetName("btnCancel");
    cancel->SetParent(this);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetBounds(kWidth - 85, kHeight - 35, 75, 25);
    cancel->OnClick = [this](TObject*) { Close(); };
  }

  // The chosen program becomes the type's default; a refusal is logged and
  // the dialog stays open for another choice.
  void Choose() {
    const int index = list_->ItemIndex();
    if (index < 0 || index >= static_cast<int>(programs_.size())) return;
    GError* failure = nullptr;
    if (!g_app_info_set_as_default_for_type(programs_[static_cast<size_t>(index)], contentType_.c_str(), &failure)) {
      shell::ShellLog("cannot make the chosen program the default for " + contentType_ + ": " +
               (failure ? failure->message : "refused"));
      if (failure) g_error_free(failure);
      return;
    }
    Close();
  }

  std::string contentType_;
  std::vector<GAppInfo*> programs_;
  TListBox* list_ = nullptr;
};

// The type of the files a pattern such as "*.htm" matches.
std::string ContentTypeOf(const std::string& pattern) {
  const std::string::size_type dot = pattern.rfind('.');
  if (dot == std::string::npos || dot + 1 == pattern.size()) return {};
  const std::string sample = "file" + pattern.substr(dot);
  gboolean uncertain = FALSE;
  gchar* type = g_content_type_guess(sample.c_str(), nullptr, 0, &uncertain);
  std::string result = type && !g_content_type_is_unknown(type) ? type : "";
  g_free(type);
  return result;
}

}  // namespace

bool ShowOpenWithDialog(const std::string& pattern) {
  const std::string type = ContentTypeOf(pattern);
  if (type.empty()) {
    shell::ShellLog("no kind of file is known for " + pattern);
    return false;
  }
  auto* form = new TOpenWithForm(type, pattern);
  form->Show();
  return true;
}

}  // namespace qelo::ct
