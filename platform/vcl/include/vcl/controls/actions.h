// Actions of the form framework: a component that holds what a command
// shows (caption, check mark, image, whether it can run) and what it does
// (OnExecute), and the links through which controls follow it.
//
// A control bound to an action (TControl::SetAction) keeps a link made by
// its GetActionLinkClass. Each change of the action's values is offered to
// every link first (SetCaption, SetChecked, ...), while the action still
// holds the old value: a link passes it on only while its client still
// shows the old value (the property is "linked"), so a value the program
// changed on the control itself stays. Then the action's Change tells the
// links' OnChange, and the control runs ActionChange.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vcl/classes.h"

namespace qelo::vcl {

class TActionLink;
class TBasicActionLink;
class TControl;
class TWinControl;

class TBasicAction : public TComponent {
  QELO_VCL_CLASS()
 public:
  explicit TBasicAction(TComponent* owner);
  ~TBasicAction() override;

  // Runs OnExecute; false when there is none.
  virtual bool Execute();

  TNotifyEvent OnExecute;

 protected:
  // Tells every link that the action changed.
  virtual void Change();
  // Tells each registered link in turn; a link may go while they are told.
  void ForEachLink(const std::function<void(TBasicActionLink&)>& tell);

 private:
  friend class TBasicActionLink;
  void RegisterChanges(TBasicActionLink* link);
  void UnRegisterChanges(TBasicActionLink* link);

  std::vector<TBasicActionLink*> links_;
};

// The action controls bind to: caption, check mark, enabled state and image
// index.
class TCustomAction : public TBasicAction {
  QELO_VCL_CLASS()
 public:
  explicit TCustomAction(TComponent* owner);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);

  // A disabled action does not run.
  bool Execute() override;

 private:
  // Offers a new value to every link, before the action stores it.
  void OfferToLinks(const std::function<void(TActionLink&)>& offer);

  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  int imageIndex_ = -1;
};

class TAction : public TCustomAction {
  QELO_VCL_CLASS()
 public:
  using TCustomAction::TCustomAction;
};

// A client's tie to one action.
class TBasicActionLink : public TObject {
 public:
  TBasicActionLink() = default;
  ~TBasicActionLink() override;

  TBasicAction* Action() const { return action_; }
  // Leaves the old action's list of links and joins the new one's.
  void SetAction(TBasicAction* action);
  // Runs the action; false without one or when it did not run.
  virtual bool Execute();

  // Told (with the action) after the action changed.
  TNotifyEvent OnChange;

 protected:
  friend class TBasicAction;
  virtual void Change();

 private:
  TBasicAction* action_ = nullptr;
};

// The link to a TCustomAction: the values a client may follow. Each IsXLinked
// answers whether the client follows the value now; the setters pass a new
// value on where it does (nothing here; clients' links override them).
class TActionLink : public TBasicActionLink {
 public:
  virtual bool IsCaptionLinked() const;
  virtual bool IsCheckedLinked() const;
  virtual bool IsEnabledLinked() const;
  virtual bool IsImageIndexLinked() const;
  virtual void SetCaption(const std::string&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetImageIndex(int) {}

 protected:
  // The action as a TCustomAction, or null.
  TCustomAction* CustomAction() const;
};

// A control follows its action's caption and enabled state while they are
// the control's own.
class TControlActionLink : public TActionLink {
 public:
  explicit TControlActionLink(TControl& client) : client_(client) {}

  bool IsCaptionLinked() const override;
  bool IsEnabledLinked() const override;
  void SetCaption(const std::string& caption) override;
  void SetEnabled(bool enabled) override;

 protected:
  TControl& Client() const { return client_; }

 private:
  TControl& client_;
};

class TWinControlActionLink : public TControlActionLink {
 public:
  explicit TWinControlActionLink(TWinControl& client);
};

// What a control's GetActionLinkClass answers: the maker of its link.
using TControlActionLinkClass = TControlActionLink* (*)(TControl& client);

// Registers TAction for form files.
void RegisterActionClasses();

}  // namespace qelo::vcl
