// The framed combo box and the image combo box in a window: completion, the typed search,
// AllowEdit and ReadOnly, leaving with a text not in the list, the wheel, the drop-down width,
// the frame and the image items' drawing, rows and life.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "ControlsTestSupport.h"
#include "TestSupport.h"
#include "controls/FcCmboBx.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace {

// A combo box that counts its refusals instead of beeping.
class TCountingCombo : public TFcComboBox {
 public:
  using TFcComboBox::TFcComboBox;
  int beeps = 0;

 protected:
  void BeepInvalidKey() override { ++beeps; }
};

void PutOnClipboard(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
}

std::string FromClipboard() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

class ComboBox : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterControlLibrary();
    form = TForm::CreateNew<TForm>(nullptr);
    form->SetBounds(40, 40, 420, 200);
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(8, 150, 100, 22);
    form->Show();
    Pump();
  }
  static void TearDownTestSuite() {
    delete form;
    form = nullptr;
  }
  void TearDown() override {
    delete combo;
    combo = nullptr;
  }
  TCountingCombo* Make(TComboBoxStyle style, std::vector<std::string> items) {
    combo = new TCountingCombo(form);
    combo->SetParent(form);
    combo->SetBounds(8, 8, 160, 24);
    combo->SetStyle(style);
    combo->SetItemList(items);
    combo->SetFocus();
    Pump();
    return combo;
  }
  // The key goes where the box has the focus: its edit part, or the box itself.
  HWND Target() { return combo->EditHandle() ? combo->EditHandle() : combo->Handle(); }
  void Char(char ch) { SendMessageA(Target(), WM_CHAR, static_cast<unsigned char>(ch), 1); }
  void KeyDown(WORD vk) { SendMessageA(Target(), WM_KEYDOWN, vk, 1); }
  void Wheel(int notches) {
    POINT p = combo->ClientToScreen(POINT{10, 10});
    SendMessageA(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * notches), MAKELPARAM(p.x, p.y));
  }

  static TForm* form;
  static TEdit* other;
  TCountingCombo* combo = nullptr;
};
TForm* ComboBox::form = nullptr;
TEdit* ComboBox::other = nullptr;

}  // namespace

TEST_F(ComboBox, TypingCompletesFromTheFirstItemItBegins) {
  Make(csDropDown, {"Abacus", "Beta", "Bravo", "Gamma"});
  int matches = 0;
  combo->OnMatch = [&](TObject*) { ++matches; };
  Char('a');
  Char('b');
  EXPECT_EQ(combo->Text(), "Abacus");
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->SelStart(), 2);
  EXPECT_EQ(combo->SelLength(), 4);
  EXPECT_EQ(matches, 2);
  // A letter that completes nothing is typed as it is.
  Char('x');
  EXPECT_EQ(combo->Text(), "abx");
  EXPECT_EQ(combo->beeps, 0);

  // Escape on the closed box leaves the text as it is.
  SetForegroundWindow(form->Handle());
  combo->SetFocus();
  RealKey(VK_ESCAPE);
  EXPECT_EQ(combo->Text(), "abx");

  // KeepSearchCase keeps the letters as typed.
  combo->SetText("");
  combo->SetKeepSearchCase(true);
  Char('b');
  Char('R');
  EXPECT_EQ(combo->Text(), "bRavo");
  EXPECT_EQ(combo->SelStart(), 2);
  EXPECT_EQ(combo->SelLength(), 3);
}

TEST_F(ComboBox, ATextSetByCodeSelectsTheItemItBegins) {
  Make(csDropDown, {"Direct3D", "OpenGL"});
  combo->SetText("open");
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "OpenGL");
  EXPECT_EQ(combo->SelStart(), 4);
  combo->SetTextWithoutCompletion("dir");
  EXPECT_EQ(combo->Text(), "dir");
}

TEST_F(ComboBox, WithoutAllowEditOnlyCompletionsChangeTheText) {
  Make(csDropDown, {"Abacus", "Beta"});
  combo->SetAllowEdit(false);
  Char('b');
  EXPECT_EQ(combo->Text(), "Beta");
  Char('q');
  EXPECT_EQ(combo->Text(), "Beta");
  EXPECT_EQ(combo->beeps, 1);
  PutOnClipboard("zzz");
  combo->SelectAll();
  Char(22);  // Ctrl+V
  BYTE keys[256], shifted[256];
  GetKeyboardState(keys);
  memcpy(shifted, keys, sizeof(keys));
  shifted[VK_SHIFT] = 0x80;
  SetKeyboardState(shifted);
  KeyDown(VK_INSERT);
  SetKeyboardState(keys);
  SendMessageA(combo->EditHandle(), WM_PASTE, 0, 0);
  EXPECT_EQ(combo->Text(), "Beta");
}

TEST_F(ComboBox, ADropDownListSearchesTheLettersTypedTogether) {
  Make(csDropDownList, {"Alpha", "Beta", "Bravo", "Echo"});
  std::vector<int> changes;
  combo->OnChange = [&](TObject*) { changes.push_back(combo->ItemIndex()); };
  Char('b');
  Char('r');
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->SearchString(), "br");
  EXPECT_EQ(changes, (std::vector<int>{1, 2}));
  // A letter that finds nothing keeps the choice and the search.
  Char('z');
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->beeps, 1);

  // After the pause the search starts again.
  combo->SearchTimer()->SetInterval(40);
  Char('e');  // "bre" finds nothing
  EXPECT_EQ(combo->ItemIndex(), 2);
  ASSERT_TRUE(LoopUntil([&] { return combo->SearchString().empty(); }, 2000));
  Char('e');
  EXPECT_EQ(combo->ItemIndex(), 3);

  // Escape on the closed list keeps the choice and tells nothing (and ends the search);
  // Backspace shortens a search.
  const std::vector<int> before = changes;
  SetForegroundWindow(form->Handle());
  combo->SetFocus();
  RealKey(VK_ESCAPE);
  EXPECT_EQ(combo->ItemIndex(), 3);
  EXPECT_EQ(changes, before);
  Char('e');
  Char('\b');
  EXPECT_EQ(combo->ItemIndex(), 0);
}

// A reflexive Escape on a closed box, from the keyboard, changes nothing the user chose; on an
// open list it closes the list and keeps the choice too.
TEST_F(ComboBox, EscapeKeepsTheChoiceAndClosesAnOpenList) {
  for (TComboBoxStyle style : {csDropDownList, csDropDown}) {
    SCOPED_TRACE(style == csDropDown ? "drop-down" : "drop-down list");
    Make(style, {"Alpha", "Beta", "Bravo", "Echo"});
    SetForegroundWindow(form->Handle());
    combo->SetFocus();
    combo->SetItemIndex(2);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };

    RealKey(VK_ESCAPE);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "Bravo");
    EXPECT_EQ(changes, 0);

    RealKey(VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    RealKey(VK_ESCAPE);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "Bravo");
    delete combo;
    combo = nullptr;
  }
}

TEST_F(ComboBox, LettersBeyondAsciiAreSearchedToo) {
  Make(csDropDownList, {"Alpha", "\xC9lan", "Omega"});
  Char('\xC9');
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->beeps, 0);
}

TEST_F(ComboBox, TheCaretBeyondTheSearchTextIsKeptWithinIt) {
  Make(csDropDown, {"Beta"});
  combo->SetTextWithoutCompletion("zzzzzz");
  combo->SetSelStart(6);
  Char('\b');
  combo->SetTextWithoutCompletion("zzzzzz");
  combo->SetSelStart(4);
  Char('b');
  EXPECT_EQ(combo->Text(), "Beta");
}

TEST_F(ComboBox, AReadOnlyBoxTakesNoInputButCopies) {
  Make(csDropDown, {"English", "Deutsch"});
  combo->SetItemIndex(0);
  combo->SetReadOnly(true);
  Char('d');
  EXPECT_EQ(combo->Text(), "English");
  SendMessageA(combo->EditHandle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
  EXPECT_FALSE(combo->DroppedDown());
  KeyDown(VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), 0);
  Wheel(-1);
  EXPECT_EQ(combo->ItemIndex(), 0);
  SendMessageA(combo->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 10));
  SendMessageA(combo->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 10));
  EXPECT_FALSE(combo->DroppedDown());
  combo->SelectAll();
  PutOnClipboard("");
  Char(3);  // Ctrl+C
  EXPECT_EQ(FromClipboard(), "English");

  // Alt+F4 still reaches the form.
  std::vector<WPARAM> commands;
  TWndMethod previous = form->WindowProc;
  form->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_SYSCOMMAND) commands.push_back(m.WParam & 0xFFF0);
    else previous(m);
  };
  SendMessageA(combo->EditHandle(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
  Pump();
  form->WindowProc = previous;
  EXPECT_EQ(commands, std::vector<WPARAM>{SC_CLOSE});
}

TEST_F(ComboBox, LeavingWithATextNotInTheListIsReported) {
  Make(csDropDown, {"Beta"});
  int reports = 0;
  combo->OnNotInList = [&](TObject*) { ++reports; };
  for (const char* text : {"zzz", "", "beta"}) {
    combo->SetFocus();
    Pump();
    combo->SetTextWithoutCompletion(text);
    other->SetFocus();
    Pump();
  }
  EXPECT_EQ(reports, 1);
}

TEST_F(ComboBox, TheWheelStepsThroughTheItemsAndTellsTheForm) {
  Make(csDropDownList, {"One", "Two", "Three"});
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  // Nothing chosen yet: up chooses the first item, and the form hears of it.
  Wheel(1);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(changes, 1);
  Wheel(1);
  EXPECT_EQ(changes, 1);
  Wheel(-1);
  Wheel(-1);
  Wheel(-1);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(changes, 3);

  combo->ClearItems();
  Wheel(1);
  Wheel(-1);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(changes, 3);
}

TEST_F(ComboBox, TypingDropsTheListWithAutoDropDownAndEnterMovesOnWithTabOnEnter) {
  Make(csDropDown, {"Alpha", "Beta"});
  combo->SetAutoDropDown(true);
  Char('z');
  EXPECT_TRUE(combo->DroppedDown());
  Char('\t');
  EXPECT_FALSE(combo->DroppedDown());
  combo->SetAutoDropDown(false);

  combo->SetTabOnEnter(true);
  std::string before = combo->Text();
  Char('\r');
  Pump();
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(combo->Text(), before);
}

TEST_F(ComboBox, TheDropDownWidthOutlivesTheWindow) {
  Make(csDropDown, {"One"});
  combo->SetDropDownWidth(250);
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 250);
  combo->RecreateWnd();
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 250);
  EXPECT_EQ(combo->Items()->Count(), 1);
}

TEST_F(ComboBox, ItsOwnFrameAndFlatButtonAreDrawnInBothLooks) {
  for (bool styles : {true, false}) {
    TStylesScope scope(styles ? TVisualStyles::vsOn : TVisualStyles::vsOff);
    Make(csDropDownList, {"One"});
    combo->SetFramingPreference(fpCustomFraming);
    combo->SetFrameVisible(true);
    combo->SetFrameColor(clRed);
    combo->SetFlatButtons(true);
    combo->SetColor(clYellow);
    other->SetFocus();
    Pump();
    auto shot = PaintToBitmap(combo);
    int w = combo->ClientWidth(), h = combo->ClientHeight();
    EXPECT_EQ(PixelAt(*shot, w / 2, 0), RGB(255, 0, 0)) << styles;
    EXPECT_EQ(PixelAt(*shot, 0, h / 2), RGB(255, 0, 0)) << styles;
    // The flat button: the box's colour with a dark arrow in the middle.
    int bx = w - GetSystemMetrics(SM_CXVSCROLL) / 2 - 2;
    EXPECT_EQ(PixelAt(*shot, bx - 6, 4), RGB(255, 255, 0)) << styles;
    RECT button{w - GetSystemMetrics(SM_CXVSCROLL) - 2, 2, w - 2, h - 2};
    EXPECT_GT(CountPixels(*shot, button, clBlack) + CountPixels(*shot, button, cl3DDkShadow), 0) << styles;
    delete combo;
    combo = nullptr;
  }
}

// ---- Image combo box -------------------------------------------------------------------------

namespace {

// Items that count how many of them are alive.
int liveItems = 0;
class TCountedItem : public TFcImageComboBoxItem {
 public:
  TCountedItem(TFcCustomImageComboBox* owner, const std::string& caption, int image, int indent)
      : TFcImageComboBoxItem(owner, caption, image, indent) {
    ++liveItems;
  }
  ~TCountedItem() override { --liveItems; }
};

class TTestImageCombo : public TFcCustomImageComboBox {
 public:
  using TFcCustomImageComboBox::TFcCustomImageComboBox;
  using TFcCustomImageComboBox::DrawItem;

 protected:
  std::unique_ptr<TFcImageComboBoxItem> NewItem(const std::string& caption, int image, int indent) override {
    return std::make_unique<TCountedItem>(this, caption, image, indent);
  }
};

// A list of 16 × 16 images, each filled with one colour.
std::unique_ptr<TImageList> SolidImages(std::initializer_list<TColor> colors) {
  auto list = std::make_unique<TImageList>(nullptr);
  for (TColor c : colors) {
    TBitmap image(16, 16);
    image.Canvas()->Brush()->SetColor(c);
    image.Canvas()->FillRect(RECT{0, 0, 16, 16});
    list->Add(&image, nullptr);
  }
  return list;
}

int TextMetricHeight(TFont* font) {
  TWindowDC screen(nullptr);
  TSelectObject selected(screen, font->Handle());
  TEXTMETRICA tm{};
  GetTextMetricsA(screen, &tm);
  return tm.tmHeight;
}

}  // namespace

TEST_F(ComboBox, ImageRowsFollowTheFontAndTheImages) {
  TTestImageCombo box(form);
  box.SetParent(form);
  box.Font()->SetHeight(-8);
  Pump();
  EXPECT_EQ(box.ItemHeight(), TextMetricHeight(box.Font()) + 4);
  auto images = SolidImages({clRed});
  box.SetImages(images.get());
  EXPECT_EQ(box.ItemHeight(), std::max(16, TextMetricHeight(box.Font()) + 4));
  box.SetImages(nullptr);
  box.Font()->SetHeight(-20);
  Pump();
  EXPECT_EQ(box.ItemHeight(), TextMetricHeight(box.Font()) + 4);
}

TEST_F(ComboBox, ImageItemsAreIndentedInTheListButNotInTheEditPart) {
  TTestImageCombo box(form);
  box.SetParent(form);
  auto images = SolidImages({clRed});
  box.SetImages(images.get());
  TFcImageComboBoxItem* item = box.AddImageItem("Folder", 0, 3);
  EXPECT_EQ(item->Index(), 0);
  TBitmap shot(200, 20);
  RECT row{0, 0, 200, 20};
  auto draw = [&](TOwnerDrawState state) {
    TCanvasBinding binding(box.Canvas(), shot.Canvas()->Handle());
    box.Canvas()->Brush()->SetColor(clWindow);
    box.Canvas()->Font()->Assign(box.Font());
    box.DrawItem(0, row, state);
  };
  draw(TOwnerDrawState{});
  COLORREF red = RGB(255, 0, 0);
  EXPECT_EQ(PixelAt(shot, 2 + 36, 10), red);
  EXPECT_NE(PixelAt(shot, 2 + 35, 10), red);
  draw(TOwnerDrawState{odComboBoxEdit});
  EXPECT_EQ(PixelAt(shot, 2, 10), red);
  EXPECT_NE(PixelAt(shot, 1, 10), red);
}

TEST_F(ComboBox, TheSelectionColourHugsTheCaption) {
  TTestImageCombo box(form);
  box.SetParent(form);
  box.AddImageItem("Quenmar", 0, 1);
  TBitmap shot(200, 20);
  {
    TCanvasBinding binding(box.Canvas(), shot.Canvas()->Handle());
    box.Canvas()->Font()->Assign(box.Font());
    box.Canvas()->Brush()->SetColor(clHighlight);
    box.DrawItem(0, RECT{0, 0, 200, 20}, TOwnerDrawState{odSelected});
  }
  int width = shot.Canvas()->TextWidth("Quenmar");
  shot.Canvas()->Font()->Assign(box.Font());
  width = shot.Canvas()->TextWidth("Quenmar");
  int left = 5 + 12;  // 1 + the indent + 4
  COLORREF highlight = AsPainted(shot, clHighlight);
  EXPECT_NE(PixelAt(shot, left - 1, 10), highlight);
  EXPECT_EQ(PixelAt(shot, left, 1), highlight);
  EXPECT_EQ(PixelAt(shot, left + width + 2, 1), highlight);
  EXPECT_NE(PixelAt(shot, left + width + 3, 1), highlight);
  EXPECT_EQ(PixelAt(shot, left + width + 3, 1), AsPainted(shot, box.Color()));
}

TEST_F(ComboBox, ImageItemsAreFoundByCaptionWithoutRegardToCase) {
  TTestImageCombo box(form);
  box.SetParent(form);
  box.AddImageItem("My Documents", 0, 0);
  box.AddImageItem("Desktop", 0, 0);
  box.Items()->Add("no item");
  EXPECT_EQ(box.IndexOfText("desktop"), 1);
  EXPECT_EQ(box.IndexOfText("MY DOCUMENTS"), 0);
  EXPECT_EQ(box.IndexOfText(""), 2);
  EXPECT_EQ(box.IndexOfText("Network"), -1);
}

TEST_F(ComboBox, EveryImageItemIsFreedExactlyOnce) {
  liveItems = 0;
  std::vector<std::string> deleted;
  {
    TTestImageCombo box(form);
    box.SetParent(form);
    box.OnDeleteItem = [&](TObject*, TFcImageComboBoxItem* item) { deleted.push_back(item->Caption()); };
    for (const char* caption : {"A", "B", "C"}) box.AddImageItem(caption, 0, 0);
    box.HandleNeeded();
    EXPECT_EQ(liveItems, 3);

    // Deleted from the list: announced at once, freed once the list's messages are done.
    box.Items()->Delete(1);
    Pump();
    EXPECT_EQ(deleted, std::vector<std::string>{"B"});
    EXPECT_EQ(liveItems, 2);

    box.ClearImageItems();
    EXPECT_EQ(liveItems, 0);
    std::sort(deleted.begin(), deleted.end());
    EXPECT_EQ(deleted, (std::vector<std::string>{"A", "B", "C"}));

    // A font change makes the window again, and the items go with it.
    deleted.clear();
    box.AddImageItem("D", 0, 0);
    box.Font()->SetHeight(-30);
    Pump();
    EXPECT_EQ(liveItems, 0);
    EXPECT_EQ(deleted, std::vector<std::string>{"D"});

    deleted.clear();
    box.AddImageItem("E", 0, 0);
    box.AddImageItem("F", 0, 0);
  }
  // The box's end frees the rest.
  EXPECT_EQ(liveItems, 0);
  std::sort(deleted.begin(), deleted.end());
  EXPECT_EQ(deleted, (std::vector<std::string>{"E", "F"}));
}
