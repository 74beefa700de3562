#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/FcIntLst.h"
#include "platform/Forms.h"
#include "platform/Layout.h"
#include "platform/TypInfo.h"

namespace {

TFcIntegerList Make(std::vector<int> values, bool sorted = false, TDuplicates duplicates = dupIgnore) {
  TFcIntegerList list;
  list.SetDuplicates(duplicates);
  for (int v : values) list.Add(v);
  list.SetSorted(sorted);
  return list;
}

std::vector<int> Values(const TFcIntegerList& list) {
  std::vector<int> values;
  for (int i = 0; i < list.Count(); ++i) values.push_back(list.Items(i));
  return values;
}

// The message of the exception `op` raises, with its class checked; "" when it raises none.
template <class E>
std::string Refusal(const std::function<void()>& op) {
  try {
    op();
  } catch (const E& e) {
    return e.Message();
  }
  return "";
}

}  // namespace

TEST(IntegerList, AddingToASortedListFollowsTheDuplicatesPolicy) {
  struct TCase {
    TDuplicates policy;
    int index;
    std::vector<int> after;
    std::string refusal;
  } cases[] = {
      {dupIgnore, -1, {1, 5, 5, 9}, ""},
      {dupAccept, 1, {1, 5, 5, 5, 9}, ""},
      {dupError, 0, {1, 5, 5, 9}, "Duplicates not allowed"},
  };
  for (const TCase& c : cases) {
    TFcIntegerList list = Make({9, 5, 1}, true, dupAccept);
    list.Add(5);
    list.SetDuplicates(c.policy);
    int index = -2;
    std::string refusal = Refusal<EListError>([&] { index = list.Add(5); });
    EXPECT_EQ(refusal, c.refusal);
    EXPECT_EQ(Values(list), c.after);
    if (c.policy == dupIgnore) {
      EXPECT_EQ(list.Items(index), 5);
    } else if (c.policy == dupAccept) {
      EXPECT_EQ(index, c.index) << "in front of the equal ones";
    }
  }
  TFcIntegerList sorted = Make({7, 3, 8, 1}, true);
  EXPECT_EQ(sorted.Add(4), 2);
  EXPECT_EQ(Values(sorted), (std::vector<int>{1, 3, 4, 7, 8}));
  int at = -1;
  EXPECT_FALSE(sorted.Find(6, at));
  EXPECT_EQ(at, 3);
  EXPECT_EQ(sorted.IndexOf(7), 3);
  EXPECT_EQ(sorted.IndexOf(2), -1);
}

TEST(IntegerList, ValuesOutsideTheRangeAreRefusedUnlessMinEqualsMax) {
  TFcIntegerList list;
  EXPECT_EQ(list.Add(-100000), 0) << "no range while Min = Max";
  list.SetMin(1);
  list.SetMax(10);
  EXPECT_EQ(Refusal<EOutOfRange>([&] { list.Add(11); }), "Value must be within 1..10");
  EXPECT_EQ(Refusal<EOutOfRange>([&] { list.Insert(0, 0); }), "Value must be within 1..10");
  EXPECT_EQ(Refusal<EOutOfRange>([&] { list.SetItems(0, 42); }), "Value must be within 1..10");
  EXPECT_EQ(Values(list), std::vector<int>{-100000});
  list.Add(10);
  list.SetItems(0, 1);
  EXPECT_EQ(Values(list), (std::vector<int>{1, 10}));
}

TEST(IntegerList, BadIndexesAndRefusedOperationsLeaveTheListAsItWas) {
  TFcIntegerList list = Make({4, 2, 6, 2});
  struct TCase {
    const char* what;
    std::function<void()> op;
    std::string message;
  } cases[] = {
      {"read", [&] { list.Items(4); }, "List index out of bounds (4)"},
      {"write", [&] { list.SetItems(-1, 3); }, "List index out of bounds (-1)"},
      {"delete", [&] { list.Delete(7); }, "List index out of bounds (7)"},
      {"exchange", [&] { list.Exchange(0, 4); }, "List index out of bounds (4)"},
      {"move", [&] { list.Move(5, 0); }, "List index out of bounds (5)"},
      {"insert", [&] { list.Insert(5, 1); }, "List index out of bounds (5)"},
      {"insert before", [&] { list.Insert(-1, 1); }, "List index out of bounds (-1)"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(Refusal<EListError>(c.op), c.message) << c.what;
    EXPECT_EQ(Values(list), (std::vector<int>{4, 2, 6, 2})) << c.what;
  }
  list.Insert(4, 8);
  EXPECT_EQ(Values(list), (std::vector<int>{4, 2, 6, 2, 8})) << "at Count it appends";
  list.Move(0, 4);
  list.Exchange(0, 1);
  list.Delete(2);
  EXPECT_EQ(Values(list), (std::vector<int>{6, 2, 8, 4}));
  EXPECT_EQ(list.IndexOf(8), 2);
  EXPECT_EQ(list.IndexOf(2), 1);

  TFcIntegerList sorted = Make({3, 1}, true);
  EXPECT_EQ(Refusal<EListError>([&] { sorted.Insert(0, 2); }), "Operation not allowed on sorted list");
  EXPECT_EQ(Values(sorted), (std::vector<int>{1, 3}));
}

TEST(IntegerList, SortingAndSortedMode) {
  TFcIntegerList list = Make({3, 1, 2, 3, -5});
  list.Sort();
  EXPECT_EQ(Values(list), (std::vector<int>{-5, 1, 2, 3, 3}));

  // Switching sorted mode on sorts what is there, so searches find it.
  TFcIntegerList later = Make({9, 4, 7});
  later.SetSorted(true);
  EXPECT_EQ(Values(later), (std::vector<int>{4, 7, 9}));
  EXPECT_EQ(later.IndexOf(9), 2);
  EXPECT_EQ(later.Add(5), 1);

  // In sorted mode Sort does nothing, and a written item stays where it is written.
  later.SetItems(0, 100);
  later.Sort();
  EXPECT_EQ(Values(later), (std::vector<int>{100, 5, 7, 9}));
}

TEST(IntegerList, EqualsAssignAndAddList) {
  TFcIntegerList a = Make({1, 2, 3}), b = Make({1, 2, 3}), c = Make({1, 2});
  EXPECT_TRUE(a.Equals(&b));
  EXPECT_FALSE(a.Equals(&c));
  c.Assign(&a);
  EXPECT_TRUE(c.Equals(&a));
  c.AddList(&c);
  EXPECT_EQ(Values(c), (std::vector<int>{1, 2, 3, 1, 2, 3}));
  TFont font;
  EXPECT_THROW(c.Assign(&font), EConvertError);
}

namespace {

// A component that keeps an integer list as a stored sub-object, as the check group does.
class TListHolder : public TComponent {
 public:
  using TComponent::TComponent;
  TFcIntegerList* Values() { return &values_; }

 private:
  TFcIntegerList values_;
};

}  // namespace

TEST(IntegerList, LayoutsStoreTheRangeAndTheValuesAndReadThemThroughAdd) {
  RegisterControlLibrary();
  RegisterClassInfo<TListHolder, TComponent>("TListHolder").Object("Values", &TListHolder::Values);

  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  auto* empty = new TListHolder(form.get());
  empty->SetName("Empty");
  auto* full = new TListHolder(form.get());
  full->SetName("Full");
  full->Values()->SetMin(-3);
  full->Values()->SetMax(40);
  for (int v : {7, -3, 40}) full->Values()->Add(v);
  std::string written = WriteLayout(form.get());
  EXPECT_EQ(written.find("\"Values\""), written.rfind("\"Values\"")) << "the empty list writes nothing";
  EXPECT_NE(written.find("\"Integers\""), std::string::npos);

  std::unique_ptr<TForm> again(TForm::CreateNew<TForm>(nullptr));
  ReadLayout(again.get(), written);
  auto* read = dynamic_cast<TListHolder*>(again->FindComponent("Full"));
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->Values()->Equals(full->Values()));
  EXPECT_EQ(read->Values()->Min(), -3);
  EXPECT_EQ(read->Values()->Max(), 40);

  // Values read go through Add: outside the range they stop the layout.
  std::unique_ptr<TForm> bad(TForm::CreateNew<TForm>(nullptr));
  EXPECT_THROW(ReadLayout(bad.get(), R"({ "class": "TForm", "children": [ { "class": "TListHolder",
                 "name": "H", "properties": { "Values": { "Min": 1, "Max": 2, "Integers": [1, 5] } } } ] })"),
               ELayoutError);
}
