#include "platform/Actions.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Guards.h"
#include "platform/TypInfo.h"

// ---- TBasicAction -------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction() {
  Destroying();
  // The links outlive the action: they keep no pointer to it.
  for (TBasicActionLink* link : std::vector<TBasicActionLink*>(clients_)) link->action_ = nullptr;
  clients_.clear();
}

bool TBasicAction::Execute() {
  if (OnExecute) {
    OnExecute(this);
    return true;
  }
  return Application->ExecuteAction(this);
}

bool TBasicAction::HandlesTarget(TObject*) { return false; }

void TBasicAction::ExecuteTarget(TObject*) {}

void TBasicAction::RegisterChanges(TBasicActionLink* link) {
  if (std::find(clients_.begin(), clients_.end(), link) == clients_.end()) clients_.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), link), clients_.end());
}

void TBasicAction::Change() {
  for (TBasicActionLink* link : std::vector<TBasicActionLink*>(clients_))
    if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) link->ActionChanged();
}

// ---- TBasicActionLink -----------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() {
  if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* action) {
  if (action == action_) return;
  if (action_) action_->UnRegisterChanges(this);
  action_ = action;
  if (action_) action_->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* target) {
  if (!action_) return false;
  TBasicAction* action = action_;
  action->SetActionComponent(target);
  TScopeExit done([action]() noexcept { action->SetActionComponent(nullptr); });
  return action->Execute();
}

// ---- TCustomAction --------------------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* owner) : TBasicAction(owner) {}

bool TCustomAction::Execute() { return enabled_ && TBasicAction::Execute(); }

// Passes a new value to the clients still showing the old one, stores it, and tells them.
template <typename T, typename IsLinked, typename Set>
void TCustomAction::Update(T& field, const T& value, IsLinked isLinked, Set set) {
  if (field == value) return;
  for (TBasicActionLink* client : std::vector<TBasicActionLink*>(Clients()))
    if (auto* link = dynamic_cast<TActionLink*>(client))
      if ((link->*isLinked)()) (link->*set)(value);
  field = value;
  Change();
}

void TCustomAction::SetCaption(const std::string& value) {
  Update(caption_, value, &TActionLink::IsCaptionLinked, &TActionLink::SetCaption);
}

void TCustomAction::SetChecked(bool value) {
  Update(checked_, value, &TActionLink::IsCheckedLinked, &TActionLink::SetChecked);
}

void TCustomAction::SetEnabled(bool value) {
  Update(enabled_, value, &TActionLink::IsEnabledLinked, &TActionLink::SetEnabled);
}

void TCustomAction::SetHint(const std::string& value) {
  Update(hint_, value, &TActionLink::IsHintLinked, &TActionLink::SetHint);
}

void TCustomAction::SetImageIndex(int value) {
  Update(imageIndex_, value, &TActionLink::IsImageIndexLinked, &TActionLink::SetImageIndex);
}

void TCustomAction::SetVisible(bool value) {
  Update(visible_, value, &TActionLink::IsVisibleLinked, &TActionLink::SetVisible);
}

// ---- TActionLink ----------------------------------------------------------------------------

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }

// ---- Registration ---------------------------------------------------------------------------

void RegisterActions() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassInfo<TBasicAction, TComponent>("TBasicAction").Event("OnExecute", &TBasicAction::OnExecute);
  RegisterClassInfo<TCustomAction, TBasicAction>("TCustomAction")
      .String("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption)
      .Boolean("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked, false)
      .Boolean("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled, true)
      .String("Hint", &TCustomAction::Hint, &TCustomAction::SetHint)
      .Integer("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex, -1)
      .Boolean("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible, true);
  RegisterClassInfo<TAction, TCustomAction>("TAction");
}
