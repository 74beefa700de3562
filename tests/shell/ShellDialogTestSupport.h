// What the shell dialogs' tests share: a script of steps that plays the user while a modal
// window waits, a scratch folder tree of each test's own directly on C:, and pictures of the
// dialogs' windows.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "TestSupport.h"
#include "controls/ControlsTestSupport.h"
#include "platform/Forms.h"
#include "platform/Guards.h"
#include "platform/SysUtils.h"
#include "platform/Timer.h"
#include "shell/FcShellDialogs.h"
#include "shell/FcShellList.h"

// The list shows the folder (with or without its trailing backslash) and has filled.
inline bool ListShowsFolder(TFcShellList* list, const std::string& folder) {
  return ExcludeTrailingBackslash(list->Folder()->PathName()) == ExcludeTrailingBackslash(folder) &&
         list->Items()->Count() > 0;
}

// The files the list shows, in its order.
inline std::vector<std::string> FilesInList(TFcShellList* list) {
  std::vector<std::string> names;
  for (int i = 0; i < list->Items()->Count(); ++i) {
    TFcShellListData* data = list->ShellData(list->Items()->Item(i));
    if (data && !data->IsFolder()) names.push_back(data->FileName());
  }
  return names;
}

// Steps run one after another from a timer while a modal window waits for the user: each
// waits until its condition holds, then acts. A step that waits too long, or an exception
// that reaches the message loop, fails the test and cancels the modal window, so that a lost
// step never hangs the test.
class TModalScript {
 public:
  TModalScript() {
    timer_.SetEnabled(false);
    timer_.SetInterval(15);
    timer_.OnTimer = [this](TObject*) { Tick(); };
    savedHandler_ = Application->OnException;
    Application->OnException = [this](TObject*, const std::exception& e) {
      ADD_FAILURE() << "raised while the window waited: " << e.what();
      Abandon();
    };
  }
  ~TModalScript() { Application->OnException = savedHandler_; }
  TModalScript(const TModalScript&) = delete;
  TModalScript& operator=(const TModalScript&) = delete;

  // Waits until `until` holds (at most `ms` milliseconds), then runs `act`.
  TModalScript& When(std::function<bool()> until, std::function<void()> act, DWORD ms = 10000) {
    steps_.push_back(TStep{std::move(until), std::move(act), ms});
    return *this;
  }
  TModalScript& Then(std::function<void()> act) { return When(nullptr, std::move(act)); }

  // Starts the steps not run yet (from the window's show, for instance).
  void Start() {
    stepStart_ = GetTickCount();
    timer_.SetEnabled(true);
  }
  bool Finished() const { return next_ >= steps_.size(); }

 private:
  struct TStep {
    std::function<bool()> until;
    std::function<void()> act;
    DWORD ms;
  };

  void Tick() {
    // A step's own waits (a message box, the shell's pauses) run messages: no step starts
    // inside another.
    if (acting_ || Finished()) return;
    TStep& step = steps_[next_];
    if (step.until && !step.until()) {
      if (GetTickCount() - stepStart_ > step.ms) {
        ADD_FAILURE() << "step " << next_ + 1 << " waited in vain";
        Abandon();
      }
      return;
    }
    acting_ = true;
    ++next_;
    step.act();
    acting_ = false;
    stepStart_ = GetTickCount();
    if (Finished()) timer_.SetEnabled(false);
  }
  // Cancels whatever modal window waits.
  void Abandon() {
    next_ = steps_.size();
    timer_.SetEnabled(false);
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->Modal()) Screen->Forms(i)->SetModalResult(mrCancel);
  }

  TTimer timer_{nullptr};
  std::vector<TStep> steps_;
  std::size_t next_ = 0;
  DWORD stepStart_ = 0;
  bool acting_ = false;
  std::function<void(TObject*, const std::exception&)> savedHandler_;
};

// A folder tree of the test's own directly on C: (the shell's watches see only what changes
// right below a drive's root), removed afterwards; the process's current folder is put back.
class ShellDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    savedDir_ = cwd;
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::string("C:\\shldlg-") + info->test_suite_name() + "-" + info->name() + "\\";
    for (char& c : scratch_)
      if (c == '/') c = '_';
    DeleteFolderTree(scratch_);
    ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr)) << scratch_;
    // The pointer waits in the screen's corner, away from where the dialogs open: a list
    // that drops down under it would follow it instead of the keys.
    RealMove(POINT{0, 0});
  }
  void TearDown() override {
    SetCurrentDirectoryA(savedDir_.c_str());
    DeleteFolderTree(scratch_);
    SetVisualStyles(TVisualStyles::vsSystem);
  }

  std::string MakeFolder(const std::string& name) {
    std::string path = scratch_ + name;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    return path;
  }
  std::string MakeFile(const std::string& name, const std::string& bytes = "x") {
    std::string path = scratch_ + name;
    EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
    return path;
  }
  static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
  // How many windows of the class exist.
  template <class T>
  static int LiveForms() {
    int n = 0;
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (dynamic_cast<T*>(Screen->Forms(i))) ++n;
    return n;
  }

  std::string scratch_;
  std::string savedDir_;
};

// What a second Execute of `dialog` raises while its window is open; empty when it raises
// nothing.
inline std::string MessageOfSecondRun(TFcShellDialog* dialog) {
  try {
    dialog->Execute();
  } catch (const Exception& e) {
    return e.Message();
  }
  return std::string();
}

// The window as the screen shows it, frame included, saved into the folder of the sample
// windows' pictures as `name`.bmp (the test script makes PNG of it).
inline void SaveWindowPicture(TForm* form, const std::string& name) {
  form->Update();
  Pump(10);
  RECT r;
  GetWindowRect(form->Handle(), &r);
  TBitmap shot(r.right - r.left, r.bottom - r.top);
  {
    TWindowDC screen(nullptr);
    BitBlt(shot.Canvas()->Handle(), 0, 0, shot.Width(), shot.Height(), screen, r.left, r.top, SRCCOPY);
  }
  std::string file = ScreenshotFolder() + name + ".bmp";
  shot.SaveToFile(file);
  EXPECT_TRUE(FileExists(file));
}
