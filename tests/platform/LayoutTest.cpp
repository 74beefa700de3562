#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "EventLog.h"
#include "platform/Layout.h"
#include "platform/TypInfo.h"

namespace {

enum TLyShape { lsNone, lsFlat, lsRound };
using TLyShapes = TSet<TLyShape>;
const TEnumInfo LyShapeInfo{"TLyShape", {"lsNone", "lsFlat", "lsRound"}};

TEventLog loadedLog;
int liveBoxes = 0;

class TLyPen : public TPersistent {
 public:
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }

 private:
  int width_ = 1;
  TColor color_ = clBlack;
};

// Stands in for a picture class: remembers the resource it was loaded from.
class TLyPicture : public TPersistent {
 public:
  std::string resource;
  HINSTANCE module = nullptr;
};

// A container control: nests in another box and may refer to one.
class TLyBox : public TComponent {
 public:
  explicit TLyBox(TComponent* owner) : TComponent(owner) { ++liveBoxes; }
  ~TLyBox() override { --liveBoxes; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  TLyShape Shape() const { return shape_; }
  void SetShape(TLyShape v) { shape_ = v; }
  TLyShapes Sides() const { return sides_; }
  void SetSides(TLyShapes v) { sides_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool v) { hotTrack_ = v; }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  // Like an enabled-only colour: a hidden box does not store it.
  bool ColorStored() const { return visible_; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) {
    if (v < 0) throw Exception("Ratio cannot be negative");
    ratio_ = v;
  }
  std::vector<std::string> Lines() const { return lines_; }
  void SetLines(const std::vector<std::string>& v) { lines_ = v; }
  TLyPen* Pen() { return &pen_; }
  TLyPicture* Picture() { return &picture_; }
  TLyBox* Buddy() const { return buddy_; }
  void SetBuddy(TLyBox* v) {
    buddy_ = v;
    if (v) v->FreeNotification(this);
  }
  std::vector<int> marks;
  TNotifyEvent OnPing;
  std::function<void(TObject*, int&)> OnCount;

  TComponent* parent = nullptr;
  bool buddyKnownAtLoaded = false;
  void SetParentComponent(TComponent* p) override { parent = p; }
  TComponent* GetParentComponent() const override { return parent; }
  void Loaded() override {
    TComponent::Loaded();
    loadedLog.Note(Name());
    buddyKnownAtLoaded = buddy_ != nullptr;
  }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == buddy_) buddy_ = nullptr;
  }

 private:
  std::string caption_;
  TLyShape shape_ = lsFlat;
  TLyShapes sides_{lsFlat, lsRound};
  bool visible_ = true;
  bool hotTrack_ = false;
  TColor color_ = clBtnFace;
  double ratio_ = 1.0;
  std::vector<std::string> lines_;
  TLyPen pen_;
  TLyPicture picture_;
  TLyBox* buddy_ = nullptr;
};

// The window: its handlers are what layouts bind events to.
class TLyForm : public TComponent {
 public:
  using TComponent::TComponent;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  void PingHandler(TObject* sender) { pinged = sender; }
  void CountHandler(TObject*, int& n) { n += 7; }
  void Loaded() override {
    TComponent::Loaded();
    loadedLog.Note(Name());
  }
  TObject* pinged = nullptr;

 private:
  std::string caption_;
};

void Register() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassInfo<TLyPen, TPersistent>("TLyPen")
      .Integer("Width", &TLyPen::Width, &TLyPen::SetWidth, 1)
      .Color("Color", &TLyPen::Color, &TLyPen::SetColor, clBlack);
  RegisterClassInfo<TLyPicture, TPersistent>("TLyPicture");
  RegisterClassInfo<TLyBox, TComponent>("TLyBox")
      .String("Caption", &TLyBox::Caption, &TLyBox::SetCaption)
      .Enum("Shape", LyShapeInfo, &TLyBox::Shape, &TLyBox::SetShape, lsFlat)
      .Set("Sides", LyShapeInfo, &TLyBox::Sides, &TLyBox::SetSides, TLyShapes{lsFlat, lsRound})
      .Boolean("Visible", &TLyBox::Visible, &TLyBox::SetVisible, true)
      .Boolean("HotTrack", &TLyBox::HotTrack, &TLyBox::SetHotTrack, false)
      .Color("Color", &TLyBox::Color, &TLyBox::SetColor, clBtnFace)
      .StoredIf(&TLyBox::ColorStored)
      .Float("Ratio", &TLyBox::Ratio, &TLyBox::SetRatio, 1.0)
      .Strings("Lines", &TLyBox::Lines, &TLyBox::SetLines)
      .Object("Pen", &TLyBox::Pen)
      .Picture("Picture", &TLyBox::Picture)
      .Component("Buddy", &TLyBox::Buddy, &TLyBox::SetBuddy)
      .Event("OnPing", &TLyBox::OnPing)
      .Event("OnCount", &TLyBox::OnCount)
      // Older layouts: "Flat" meant hot tracking with a round shape; "FlatStyle" is dropped.
      .Extra("Flat", tkBoolean,
             [](TLyBox* b, const TValue& v) {
               b->SetHotTrack(v.AsBoolean());
               if (v.AsBoolean()) b->SetShape(lsRound);
             })
      .Obsolete("FlatStyle", tkEnumeration)
      .Extra(
          "Marks", tkList,
          [](TLyBox* b, const TValue& v) {
            b->marks.clear();
            for (const TValue& item : v.AsList())
              b->marks.push_back(static_cast<int>(item.AsInteger()));
          },
          [](TLyBox* b) -> std::optional<TValue> {
            if (b->marks.empty()) return std::nullopt;
            std::vector<TValue> items;
            for (int m : b->marks) items.push_back(TValue::Integer(m));
            return TValue::List(std::move(items));
          });
  RegisterClassInfo<TLyForm, TComponent>("TLyForm")
      .String("Caption", &TLyForm::Caption, &TLyForm::SetCaption)
      .Handler("PingHandler", &TLyForm::PingHandler)
      .Handler("CountHandler", &TLyForm::CountHandler);
}

class Layout : public testing::Test {
 protected:
  void SetUp() override {
    Register();
    loadedLog.Clear();
    RegisterPictureHooks(
        [](TPersistent* p, HINSTANCE module, const std::string& name) {
          auto* picture = dynamic_cast<TLyPicture*>(p);
          picture->resource = name;
          picture->module = module;
        },
        [](TPersistent* p) { return dynamic_cast<TLyPicture*>(p)->resource; });
  }
  void TearDown() override { RegisterPictureHooks(nullptr, nullptr); }

  template <class T>
  static T* Find(TComponent* root, const char* name) {
    return dynamic_cast<T*>(root->FindComponent(name));
  }
};

const char* const kLayout = R"({
  "class": "TLyForm", "name": "MainForm",
  "properties": { "Caption": "Quenmar benchmark" },
  "children": [
    { "class": "TLyBox", "name": "Panel1",
      "properties": { "Shape": "lsRound", "Sides": ["lsNone", "lsRound"], "Color": "clRed",
                      "Pen": { "Width": 3 }, "Picture": "LOGO1" },
      "children": [
        { "class": "TLyBox", "name": "Inner",
          "properties": { "Buddy": "Later", "OnPing": "PingHandler", "Ratio": 1.5,
                          "Lines": ["640 × 480", "800 × 600"], "Marks": [3, 1] } }
      ] },
    { "class": "TLyBox", "name": "Later",
      "properties": { "Visible": false, "Color": "$00123456", "OnCount": "CountHandler" } }
  ]
})";

}  // namespace

TEST_F(Layout, ReadsNestedComponentsReferencesAndEvents) {
  TLyForm form(nullptr);
  ReadLayout(&form, kLayout);

  EXPECT_EQ(form.Name(), "MainForm");
  EXPECT_EQ(form.Caption(), "Quenmar benchmark");
  ASSERT_EQ(form.ComponentCount(), 3);
  auto* panel = Find<TLyBox>(&form, "Panel1");
  auto* inner = Find<TLyBox>(&form, "Inner");
  auto* later = Find<TLyBox>(&form, "Later");
  ASSERT_TRUE(panel && inner && later);
  EXPECT_EQ(panel->parent, &form);
  EXPECT_EQ(inner->parent, panel);
  EXPECT_EQ(later->parent, &form);

  EXPECT_EQ(panel->Shape(), lsRound);
  EXPECT_EQ(panel->Sides(), (TLyShapes{lsNone, lsRound}));
  EXPECT_EQ(panel->Color(), clRed);
  EXPECT_EQ(panel->Pen()->Width(), 3);
  EXPECT_EQ(panel->Picture()->resource, "LOGO1");
  EXPECT_EQ(panel->Picture()->module, GetModuleHandleA(nullptr));
  EXPECT_EQ(later->Color(), 0x123456);
  EXPECT_FALSE(later->Visible());
  EXPECT_DOUBLE_EQ(inner->Ratio(), 1.5);
  EXPECT_EQ(inner->marks, (std::vector<int>{3, 1}));

  // A reference to a component further down the layout, resolved before Loaded.
  EXPECT_EQ(inner->Buddy(), later);
  EXPECT_TRUE(inner->buddyKnownAtLoaded);
  inner->OnPing(inner);
  EXPECT_EQ(form.pinged, inner);
  int n = 1;
  later->OnCount(later, n);
  EXPECT_EQ(n, 8);

  // Nested components first, the window last; nothing is left loading.
  EXPECT_EQ(loadedLog, (TEvents{"Inner", "Panel1", "Later", "MainForm"}));
  for (TComponent* c : {static_cast<TComponent*>(&form), static_cast<TComponent*>(panel),
                        static_cast<TComponent*>(inner), static_cast<TComponent*>(later)}) {
    EXPECT_FALSE(c->ComponentState().Contains(csLoading));
    EXPECT_FALSE(c->ComponentState().Contains(csReading));
  }
}

TEST_F(Layout, MultiplicationSignIsTheAnsiByteInTheProgramAndUtf8InTheFile) {
  TLyForm form(nullptr);
  ReadLayout(&form, R"({ "properties": { "Caption": "1024 × 768" } })");
  EXPECT_EQ(form.Caption(), "1024 \xD7 768");

  form.SetCaption("1600 \xD7 1200");
  std::string text = WriteLayout(&form);
  EXPECT_NE(text.find("1600 \xC3\x97 1200"), std::string::npos) << text;
  EXPECT_EQ(text.find('\xD7'), std::string::npos);
}

TEST_F(Layout, WritesBackOnlyWhatDiffersFromDefaultsAndReadsBackEqual) {
  TLyForm form(nullptr);
  ReadLayout(&form, kLayout);
  std::string written = WriteLayout(&form);

  nlohmann::json expected = nlohmann::json::parse(R"({
    "class": "TLyForm", "name": "MainForm",
    "properties": { "Caption": "Quenmar benchmark" },
    "children": [
      { "class": "TLyBox", "name": "Panel1",
        "properties": { "Shape": "lsRound", "Sides": ["lsNone", "lsRound"], "Color": "clRed",
                        "Pen": { "Width": 3 }, "Picture": "LOGO1" },
        "children": [
          { "class": "TLyBox", "name": "Inner",
            "properties": { "Ratio": 1.5, "Lines": ["640 × 480", "800 × 600"], "Buddy": "Later",
                            "OnPing": "PingHandler", "Marks": [3, 1] } }
        ] },
      { "class": "TLyBox", "name": "Later",
        "properties": { "Visible": false, "OnCount": "CountHandler" } }
    ]
  })");
  EXPECT_EQ(nlohmann::json::parse(written), expected) << written;

  TLyForm again(nullptr);
  ReadLayout(&again, written);
  EXPECT_EQ(WriteLayout(&again), written);
  EXPECT_EQ(Find<TLyBox>(&again, "Inner")->Buddy(), Find<TLyBox>(&again, "Later"));
}

TEST_F(Layout, ObsoletePropertiesAreReadAndNeverWritten) {
  TLyForm form(nullptr);
  ReadLayout(&form, R"({ "children": [ { "class": "TLyBox", "name": "Old",
                         "properties": { "Flat": true, "FlatStyle": "fsAnything" } } ] })");
  auto* old = Find<TLyBox>(&form, "Old");
  ASSERT_NE(old, nullptr);
  EXPECT_TRUE(old->HotTrack());
  EXPECT_EQ(old->Shape(), lsRound);
  std::string written = WriteLayout(&form);
  EXPECT_EQ(written.find("Flat\""), std::string::npos) << written;
  EXPECT_NE(written.find("HotTrack"), std::string::npos) << written;
}

TEST_F(Layout, ErrorsNameWindowComponentAndPropertyAndLeaveNothingBehind) {
  struct Case {
    const char* failing;  // the last child of the layout
    const char* component;
    const char* property;
    const char* problem;
  };
  const Case cases[] = {
      {R"({ "class": "TNoSuchBox", "name": "Ghost" })", "Ghost", "", "unknown class TNoSuchBox"},
      {R"({ "class": "TLyBox", "name": "Box1", "properties": { "Colour": "clRed" } })", "Box1",
       "Colour", "unknown property"},
      {R"({ "class": "TLyBox", "name": "Box1", "properties": { "Ratio": "big" } })", "Box1",
       "Ratio", "expected a number, found a string"},
      {R"({ "class": "TLyBox", "name": "Box1", "properties": { "Ratio": -1 } })", "Box1", "Ratio",
       "cannot be negative"},
      {R"({ "class": "TLyBox", "name": "Box1", "properties": { "Shape": "lsSquare" } })", "Box1",
       "Shape", "lsSquare is not a TLyShape value"},
      {R"({ "class": "TLyBox", "name": "Box1", "properties": { "Pen": { "Width": true } } })",
       "Box1", "Pen.Width", "expected an integer"},
      {R"({ "class": "TLyBox", "name": "Box1", "properties": { "OnPing": "Missing" } })", "Box1",
       "OnPing", "no handler Missing"},
      {R"({ "class": "TLyBox", "name": "Box1", "properties": { "OnPing": "CountHandler" } })",
       "Box1", "OnPing", "does not fit"},
      {R"({ "class": "TLyBox", "name": "Box1", "properties": { "Buddy": "Nobody" } })", "Box1",
       "Buddy", "no component named Nobody"},
      {R"({ "class": "TLyBox", "name": "Box1", "properties": { "FlatStyle": 3 } })", "Box1",
       "FlatStyle", "expected an identifier"},
      {R"({ "class": "TLyBox", "name": "Good" })", "Good", "", "already exists"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    std::string text = std::string(R"({ "name": "ErrForm", "children": [
        { "class": "TLyBox", "name": "Good", "properties": { "Buddy": "Child" },
          "children": [ { "class": "TLyBox", "name": "Child" } ] },)") +
                       c.failing + "] }";
    TLyForm form(nullptr);
    int before = liveBoxes;
    loadedLog.Clear();
    try {
      ReadLayout(&form, text);
      ADD_FAILURE() << "no error";
    } catch (const ELayoutError& e) {
      EXPECT_EQ(e.Window(), "ErrForm");
      EXPECT_EQ(e.ComponentName(), c.component);
      EXPECT_EQ(e.PropertyName(), c.property);
      std::string message = e.Message();
      EXPECT_NE(message.find("ErrForm"), std::string::npos) << message;
      EXPECT_NE(message.find(c.component), std::string::npos) << message;
      EXPECT_NE(message.find(c.property), std::string::npos) << message;
      EXPECT_NE(message.find(c.problem), std::string::npos) << message;
    }
    EXPECT_EQ(form.ComponentCount(), 0);
    EXPECT_EQ(liveBoxes, before);
    EXPECT_TRUE(form.ComponentState().Empty());
    EXPECT_TRUE(loadedLog.Empty());
  }
}

TEST_F(Layout, BrokenTextAndMissingPictureSupportAreClearErrors) {
  TLyForm form(nullptr);
  form.SetName("Form1");
  try {
    ReadLayout(&form, R"({ "children": [ { "class": "TLyBox" )");
    ADD_FAILURE() << "no error";
  } catch (const ELayoutError& e) {
    EXPECT_EQ(e.Window(), "Form1");
    EXPECT_NE(e.Message().find("not valid JSON"), std::string::npos) << e.Message();
  }
  RegisterPictureHooks(nullptr, nullptr);
  EXPECT_THROW(ReadLayout(&form, R"({ "children": [ { "class": "TLyBox", "name": "P",
                                     "properties": { "Picture": "LOGO1" } } ] })"),
               ELayoutError);
  EXPECT_EQ(form.ComponentCount(), 0);
}

TEST_F(Layout, ReadsALayoutFromAnRcdataResource) {
  // A copy of this program with a layout resource added, opened as data.
  char self[MAX_PATH], temp[MAX_PATH], copy[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "lay", 0, copy);
  ASSERT_TRUE(CopyFileA(self, copy, FALSE));
  std::string layout =
      R"({ "class": "TLyForm", "children": [ { "class": "TLyBox", "name": "FromResource" } ] })";
  HANDLE update = BeginUpdateResourceA(copy, FALSE);
  ASSERT_NE(update, nullptr);
  ASSERT_TRUE(UpdateResourceA(update, RT_RCDATA, "TESTLAYOUT",
                              MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), layout.data(),
                              static_cast<DWORD>(layout.size())));
  ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
  HMODULE module = LoadLibraryExA(copy, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);

  TLyForm form(nullptr);
  form.SetName("Form2");
  EXPECT_EQ(LoadLayoutResource(module, "TestLayout"), layout);
  ReadLayoutResource(&form, module, "TestLayout");
  EXPECT_NE(form.FindComponent("FromResource"), nullptr);
  try {
    ReadLayoutResource(&form, module, "NoSuchLayout");
    ADD_FAILURE() << "no error";
  } catch (const ELayoutError& e) {
    EXPECT_EQ(e.Message(), "Layout of Form2: Resource NoSuchLayout not found");
  }
  FreeLibrary(module);
  DeleteFileA(copy);
}

TEST_F(Layout, AWindowFindsItsComponentsByNameAndClass) {
  TLyForm form(nullptr);
  ReadLayout(&form, kLayout);
  EXPECT_EQ(LayoutComponent<TLyBox>(&form, "Inner"), Find<TLyBox>(&form, "Inner"));
  auto problem = [&](auto find) -> std::string {
    try {
      find();
    } catch (const ELayoutError& e) {
      EXPECT_EQ(e.Window(), "MainForm");
      return e.ComponentName() + ": " + e.Message();
    }
    return "no error";
  };
  EXPECT_EQ(problem([&] { LayoutComponent<TLyBox>(&form, "Panel2"); }),
            "Panel2: Layout of MainForm, component Panel2: the window has no TLyBox of this name");
  EXPECT_EQ(problem([&] { LayoutComponent<TLyForm>(&form, "Inner"); }),
            "Inner: Layout of MainForm, component Inner: a TLyBox where a TLyForm is needed");
}
