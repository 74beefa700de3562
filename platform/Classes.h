// The object model every component and control stands on: objects with a class name,
// persistent objects that copy themselves, and components that own and free each other.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Sets.h"
#include "platform/SysUtils.h"

class TObject {
 public:
  virtual ~TObject() = default;
  // The class's own name as written in the code ("TComponent").
  std::string ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {
 public:
  // Copies source into this object; a class that cannot take the source raises
  // EConvertError "Cannot assign a <source> to a <this>".
  virtual void Assign(TPersistent* source);

 protected:
  virtual void AssignTo(TPersistent* dest);

 private:
  [[noreturn]] void AssignError(TPersistent* source);
};

class EComponentError : public Exception { using Exception::Exception; };

enum TComponentStateFlag { csLoading, csReading, csWriting, csDestroying, csDesigning, csUpdating };
using TComponentState = TSet<TComponentStateFlag>;
enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  // Frees every owned component (last added first), tells every component that asked for
  // free notification, and leaves the owner's list.
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // Raises EComponentError when the owner already has another component of that name.
  virtual void SetName(const std::string& name);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  // Owned component by name, compared without regard to case; nullptr when none.
  TComponent* FindComponent(const std::string& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Deletes every owned component now, last first.
  void DestroyComponents();

  TComponentState ComponentState() const { return state_; }
  void SetComponentStateFlag(TComponentStateFlag flag, bool on);
  // Marks the component (and those it owns) as being destroyed; derived destructors that
  // must behave differently while going away call it first.
  void Destroying();
  void SetDesigning(bool on);

  // Asks for Notification(this, opRemove) on `component` when this one is freed, and
  // the other way round.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Called after a stored layout has been read into the component: clears csLoading.
  virtual void Loaded();

  // A layout nests this component inside `parent` (a control inside a panel, or the window
  // itself for those at the top). Controls take it as their visual parent; other components
  // ignore it.
  virtual void SetParentComponent(TComponent* parent);
  // The component this one is nested in when a layout is written; nullptr: at the top.
  virtual TComponent* GetParentComponent() const;

 protected:
  // Another component was inserted into or removed from the owner's list, or is going away.
  virtual void Notification(TComponent* component, TOperation operation);
  void ValidateRename(TComponent* component, const std::string& current,
                      const std::string& newName) const;

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  int tag_ = 0;
  TComponentState state_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};
