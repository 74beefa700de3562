#include <gtest/gtest.h>

#include <climits>

#include "platform/TypInfo.h"

namespace {

enum TShape { shNone, shFlat, shRound };
using TShapes = TSet<TShape>;
const TEnumInfo ShapeInfo{"TShape", {"shNone", "shFlat", "shRound"}};

class TTiBase : public TComponent {
 public:
  using TComponent::TComponent;
  int Count() const { return count_; }
  virtual void SetCount(int v) { count_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  TShape Shape() const { return shape_; }
  void SetShape(TShape v) { shape_ = v; }
  TShapes Sides() const { return sides_; }
  void SetSides(TShapes v) { sides_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  std::function<void(TObject*, int&)> OnCount;

 private:
  int count_ = 0;
  bool visible_ = true;
  TShape shape_ = shFlat;
  TShapes sides_{shFlat, shRound};
  std::string caption_;
  TColor color_ = clBtnFace;
};

// Adds a property and keeps its own rule for Count.
class TTiDerived : public TTiBase {
 public:
  using TTiBase::TTiBase;
  void SetCount(int v) override { TTiBase::SetCount(v * 10); }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }

 private:
  double ratio_ = 1.0;
};

void Register() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassInfo<TTiBase, TComponent>("TTiBase")
      .Integer("Count", &TTiBase::Count, &TTiBase::SetCount, 0)
      .Boolean("Visible", &TTiBase::Visible, &TTiBase::SetVisible, true)
      .Enum("Shape", ShapeInfo, &TTiBase::Shape, &TTiBase::SetShape, shFlat)
      .Set("Sides", ShapeInfo, &TTiBase::Sides, &TTiBase::SetSides, TShapes{shFlat, shRound})
      .String("Caption", &TTiBase::Caption, &TTiBase::SetCaption)
      .Color("Color", &TTiBase::Color, &TTiBase::SetColor, clBtnFace)
      .Event("OnCount", &TTiBase::OnCount);
  RegisterClassInfo<TTiDerived, TTiBase>("TTiDerived")
      .Float("Ratio", &TTiDerived::Ratio, &TTiDerived::SetRatio, 1.0);
}

}  // namespace

TEST(TypInfo, TableFindsInheritedPropertiesAndRefusesUnknownOnes) {
  Register();
  TTiDerived derived(nullptr);
  TTiBase base(nullptr);

  const TPropInfo* caption = FindPropInfo(&derived, "caption");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->Name, "Caption");
  EXPECT_EQ(caption->Kind, tkString);
  ASSERT_NE(FindPropInfo(&derived, "TAG"), nullptr);  // from TComponent
  EXPECT_NE(FindPropInfo(&derived, "Ratio"), nullptr);
  EXPECT_EQ(FindPropInfo(&base, "Ratio"), nullptr);
  EXPECT_EQ(FindPropInfo(&derived, "Colour"), nullptr);
  EXPECT_THROW(GetPropInfo(&derived, "Colour"), EPropertyError);
  EXPECT_THROW(GetPropValue(&base, "Ratio"), EPropertyError);

  // Ancestors' properties come first.
  std::vector<std::string> names;
  for (const TPropInfo* p : ObjectClassInfo(&derived)->Props()) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Tag", "Count", "Visible", "Shape", "Sides",
                                             "Caption", "Color", "OnCount", "Ratio"}));
  EXPECT_EQ(FindClassInfo("ttiderived"), ObjectClassInfo(&derived));
  EXPECT_TRUE(ObjectClassInfo(&derived)->InheritsFrom(ClassInfoOf<TComponent>()));
}

TEST(TypInfo, SetByNameReachesTheDerivedSetterAndReportsWhetherItDid) {
  Register();
  TTiDerived derived(nullptr);
  TTiBase base(nullptr);
  EXPECT_TRUE(SetPropByName(&derived, "count", TValue::Integer(4)));
  EXPECT_EQ(derived.Count(), 40);
  EXPECT_TRUE(SetPropByName(&base, "Count", TValue::Integer(4)));
  EXPECT_EQ(base.Count(), 4);

  // Pushing a setting to a control that does not publish it is not an error.
  EXPECT_FALSE(SetPropByName(&base, "Ratio", TValue::Float(2.5)));
  EXPECT_TRUE(SetPropByName(&derived, "Ratio", TValue::Float(2.5)));
  EXPECT_DOUBLE_EQ(derived.Ratio(), 2.5);
}

TEST(TypInfo, ValuesAreConvertedToThePropertyKindOrRefused) {
  Register();
  struct Case {
    const char* prop;
    TValue value;
    TValue expected;  // read back; vkNone: the value is refused
  };
  const Case cases[] = {
      {"Shape", TValue::Ident("SHROUND"), TValue::Integer(shRound)},
      {"Shape", TValue::Integer(shNone), TValue::Integer(shNone)},
      {"Sides", TValue::List({TValue::Ident("shNone"), TValue::String("shRound")}),
       TValue::Set(TShapes{shNone, shRound}.Bits())},
      {"Color", TValue::String("clRed"), TValue::Integer(clRed)},
      {"Color", TValue::String("$FF00000F"), TValue::Integer(clBtnFace)},
      {"Color", TValue::Integer(0x123456), TValue::Integer(0x123456)},
      {"Ratio", TValue::Integer(2), TValue::Float(2.0)},
      {"Visible", TValue::Boolean(false), TValue::Boolean(false)},
      {"Caption", TValue::String("640 \xD7 480"), TValue::String("640 \xD7 480")},
      {"Count", TValue::String("12"), {}},
      {"Count", TValue::Integer(LLONG_MAX), {}},
      {"Visible", TValue::Integer(1), {}},
      {"Shape", TValue::Ident("shSquare"), {}},
      {"Shape", TValue::Integer(3), {}},
      {"Sides", TValue::List({TValue::Ident("shSquare")}), {}},
      {"Sides", TValue::Set(1u << 5), {}},
      {"Color", TValue::String("clPlaid"), {}},
      {"Ratio", TValue::String("fast"), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prop) + " <- " + c.value.KindName());
    TTiDerived d(nullptr);
    if (c.expected.Kind() == TValue::vkNone) {
      TValue before = GetPropValue(&d, c.prop);
      EXPECT_THROW(SetPropValue(&d, c.prop, c.value), EPropertyConvertError);
      EXPECT_TRUE(GetPropValue(&d, c.prop) == before);
    } else {
      SetPropValue(&d, c.prop, c.value);
      EXPECT_TRUE(GetPropValue(&d, c.prop) == c.expected);
    }
  }
}

TEST(TypInfo, EventsTakeHandlersOfTheirOwnTypeAndKeepTheirNames) {
  Register();
  TTiBase b(nullptr);
  int seen = 0;
  std::function<void(TObject*, int&)> handler = [&](TObject*, int& n) { n = ++seen; };
  SetPropValue(&b, "OnCount", TValue::Event("CountIt", handler));
  int n = 0;
  b.OnCount(&b, n);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(GetPropValue(&b, "OnCount").AsString(), "CountIt");

  TNotifyEvent wrong = [](TObject*) {};
  EXPECT_THROW(SetPropValue(&b, "OnCount", TValue::Event("Other", wrong)), EPropertyConvertError);
  SetPropValue(&b, "OnCount", TValue::Event({}));
  EXPECT_FALSE(b.OnCount);
}

TEST(TypInfo, RegisteredClassesAreMadeByNameAndRegisteredOnce) {
  Register();
  // A second registration changes nothing.
  RegisterClassInfo<TTiDerived, TTiBase>("TTiDerivedAgain")
      .Integer("Extra", &TTiBase::Count, nullptr);
  EXPECT_EQ(FindClassInfo("TTiDerivedAgain"), nullptr);
  EXPECT_EQ(ClassInfoOf<TTiDerived>()->FindProp("Extra"), nullptr);

  TComponent owner(nullptr);
  TComponent* made = FindClassInfo("TTiDerived")->Create(&owner);
  EXPECT_NE(dynamic_cast<TTiDerived*>(made), nullptr);
  EXPECT_EQ(made->Owner(), &owner);
  EXPECT_FALSE(ClassInfoOf<TPersistent>()->CanCreate());
  EXPECT_THROW(ClassInfoOf<TPersistent>()->Create(&owner), EPropertyError);
}
