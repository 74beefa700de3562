#include <gtest/gtest.h>

#include "platform/Classes.h"

namespace {

// Records the components it was told are going away.
class TWatcher : public TComponent {
 public:
  using TComponent::TComponent;
  std::vector<TComponent*> removed;
  TComponent* ref = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) {
      removed.push_back(c);
      if (c == ref) ref = nullptr;
    }
  }
};

class TCounted : public TComponent {
 public:
  TCounted(TComponent* owner, int* deaths) : TComponent(owner), deaths_(deaths) {}
  ~TCounted() override { ++*deaths_; }

 private:
  int* deaths_;
};

}  // namespace

TEST(Component, OwnerFreesWhatItOwnsAndFindsByNameWithoutCase) {
  int deaths = 0;
  auto* owner = new TComponent(nullptr);
  auto* a = new TCounted(owner, &deaths);
  a->SetName("BenchButton");
  auto* b = new TCounted(owner, &deaths);
  b->SetName("cp");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->FindComponent("BENCHBUTTON"), a);
  EXPECT_EQ(owner->FindComponent("missing"), nullptr);
  EXPECT_THROW(b->SetName("benchbutton"), EComponentError);
  delete b;
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(owner->ComponentCount(), 1);
  delete owner;
  EXPECT_EQ(deaths, 2);
}

TEST(Component, FreeNotificationDropsTheReference) {
  TWatcher watcher(nullptr);
  {
    TComponent target(nullptr);
    watcher.ref = &target;
    target.FreeNotification(&watcher);
  }
  EXPECT_EQ(watcher.ref, nullptr);
  ASSERT_EQ(watcher.removed.size(), 1u);
}

TEST(Component, ClassNameAndAssignError) {
  TComponent a(nullptr), b(nullptr);
  EXPECT_EQ(a.ClassName(), "TComponent");
  try {
    a.Assign(&b);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TComponent");
  }
  EXPECT_THROW(
               a.Components(0), EListError);
}
