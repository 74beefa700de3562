// Actions: one command (its caption, hint, image, check and enabled state, and what it does)
// shared by every control linked to it, and the links that keep those controls in step.
#pragma once

#include <string>
#include <vector>

#include "platform/Classes.h"

class TBasicActionLink;

// A command that runs OnExecute, or, when it has none, is offered to the application and its
// forms so that a control able to handle it (ExecuteAction) does.
class TBasicAction : public TComponent {
 public:
  explicit TBasicAction(TComponent* owner);
  ~TBasicAction() override;

  // Runs OnExecute; without it offers the action to the application (see
  // TApplication::ExecuteAction). True when something handled it.
  virtual bool Execute();
  // Whether the action can act on `target` (a control asked by ExecuteAction); none here.
  virtual bool HandlesTarget(TObject* target);
  virtual void ExecuteTarget(TObject* target);
  // The control whose click runs the action, while it runs; nullptr otherwise.
  TComponent* ActionComponent() const { return actionComponent_; }
  void SetActionComponent(TComponent* component) { actionComponent_ = component; }

  TNotifyEvent OnExecute;

  // Used by TBasicActionLink: the links hear of every change of the action.
  void RegisterChanges(TBasicActionLink* link);
  void UnRegisterChanges(TBasicActionLink* link);

 protected:
  // Tells every linked client that the action changed.
  void Change();
  const std::vector<TBasicActionLink*>& Clients() const { return clients_; }

 private:
  std::vector<TBasicActionLink*> clients_;
  TComponent* actionComponent_ = nullptr;
};

// Binds one client to one action: the client hears through OnChange when the action changes,
// and runs it through Execute.
class TBasicActionLink {
 public:
  TBasicActionLink() = default;
  virtual ~TBasicActionLink();
  TBasicActionLink(const TBasicActionLink&) = delete;
  TBasicActionLink& operator=(const TBasicActionLink&) = delete;

  TBasicAction* Action() const { return action_; }
  virtual void SetAction(TBasicAction* action);
  // Runs the action with `target` as its ActionComponent.
  virtual bool Execute(TComponent* target = nullptr);

  // Fired with the action as sender after each change of the action.
  TNotifyEvent OnChange;

 private:
  friend class TBasicAction;
  void ActionChanged() {
    if (OnChange) OnChange(action_);
  }
  TBasicAction* action_ = nullptr;
};

// An action with the state its controls show: Caption, Checked, Enabled, Hint, ImageIndex and
// Visible. Setting one passes the value to every client still showing the action's value
// (see TActionLink), then tells the clients of the change. A disabled action does not run.
class TCustomAction : public TBasicAction {
 public:
  explicit TCustomAction(TComponent* owner);

  bool Execute() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

 private:
  template <typename T, typename IsLinked, typename Set>
  void Update(T& field, const T& value, IsLinked isLinked, Set set);
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  std::string hint_;
  int imageIndex_ = -1;
  bool visible_ = true;
};

// The action stored layouts name ("TAction").
class TAction : public TCustomAction {
 public:
  using TCustomAction::TCustomAction;
};

// The application's hint changed: Hint holds the new text. Offered to the active form's
// controls, so that a status pane showing hints (AutoHint) can take it.
class THintAction : public TCustomAction {
 public:
  explicit THintAction(TComponent* owner = nullptr) : TCustomAction(owner) {}
};

// A link of a client that shows the action's state. For each property, IsXLinked tells
// whether the client still shows the action's value (a client given a value of its own keeps
// it), and SetX passes a new value on to the client; both are the client class's to answer.
class TActionLink : public TBasicActionLink {
 public:
  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsVisibleLinked();
  virtual void SetCaption(const std::string&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetHint(const std::string&) {}
  virtual void SetImageIndex(int) {}
  virtual void SetVisible(bool) {}

 protected:
  // The action as a TCustomAction, or nullptr.
  TCustomAction* CustomAction() const;
};

// Registers TAction for stored layouts (once).
void RegisterActions();
