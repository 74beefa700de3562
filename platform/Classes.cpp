#include "platform/Classes.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <typeinfo>

std::string TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && plain ? plain : mangled;
  std::free(plain);
  return name;
}

void TPersistent::Assign(TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
  std::string from = source ? source->ClassName() : std::string("nil");
  throw EConvertError(Format("Cannot assign a %s to a %s", from.c_str(), ClassName().c_str()));
}

static bool SameTextAnsi(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Everyone who holds a reference to this component drops it now.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& theirs = other->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError(Format("List index out of bounds (%d)", index));
  return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameTextAnsi(c->name_, name)) return c;
  return nullptr;
}

void TComponent::ValidateRename(TComponent* component, const std::string& current,
                                const std::string& newName) const {
  if (!component || newName.empty() || SameTextAnsi(current, newName)) return;
  TComponent* found = FindComponent(newName);
  if (found && found != component)
    throw EComponentError(Format("A component named %s already exists", newName.c_str()));
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (owner_) owner_->ValidateRename(this, name_, name);
  name_ = name;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component) return;
  ValidateRename(component, std::string(), component->name_);
  Insert(component);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  components_.erase(std::remove(components_.begin(), components_.end(), component),
                    components_.end());
  component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    Remove(c);
    delete c;
  }
}

void TComponent::SetComponentStateFlag(TComponentStateFlag flag, bool on) {
  if (on)
    state_.Include(flag);
  else
    state_.Exclude(flag);
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::SetDesigning(bool on) {
  SetComponentStateFlag(csDesigning, on);
  for (TComponent* c : components_) c->SetDesigning(on);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
    freeNotifies_.push_back(component);
  auto& theirs = component->freeNotifies_;
  if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component),
                      freeNotifies_.end());
  auto& theirs = component->freeNotifies_;
  theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::SetParentComponent(TComponent*) {}

TComponent* TComponent::GetParentComponent() const { return nullptr; }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  for (TComponent* c : components_) c->Notification(component, operation);
}
