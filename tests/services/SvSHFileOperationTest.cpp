#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Forms.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "platform/TypInfo.h"
#include "services/SvCommon.h"
#include "services/SvSHFileOperation.h"
#include "TestSupport.h"

namespace {


void WriteText(const std::string& path, const std::string& text) {
  TStringList lines;
  lines.Add(text);
  lines.SaveToFile(path);
}

std::string ReadText(const std::string& path) {
  TStringList lines;
  lines.LoadFromFile(path);
  return lines.Count() ? lines.Strings(0) : std::string();
}

// A folder of its own in the temporary folder, with a blank and an accented letter (0xE9)
// in its name, and a component set up as the main window sets up its FileOp.
class SvSHFileOperationTest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    dir_ = std::string(temp) + Format("FileOp t\xE9st %lu\\", GetCurrentProcessId());
    DeleteFolderTree(dir_);
    ASSERT_TRUE(ForceDirectories(dir_));
    SetQuietFileOperation(op_);
  }
  void TearDown() override { DeleteFolderTree(dir_); }

  std::string dir_;
  TSvSHFileOperation op_{nullptr};
};

}  // namespace

TEST(SvSHFileOperation, OptionsGiveTheShellsFlags) {
  EXPECT_EQ(SvSHFileOpFlags({fofFilesOnly, fofNoConfirmation, fofNoConfirmMkDir,
                             fofSimpleProgress}),
            0x390u);
  EXPECT_EQ(SvSHFileOpFlags(TSvSHFileOptions{}), 0u);
  // Every option adds its own bit: all of them together fill the 16 flag bits.
  EXPECT_EQ(SvSHFileOpFlags(TSvSHFileOptions::FromBits(0xFFFF)), 0xFFFFu);
  EXPECT_EQ(SvSHFileOpFlags({fofAllowUndo, fofFilesOnly}), 0xC0u);
  EXPECT_EQ(SvSHFileOpCode(foCopy), 2u);
  EXPECT_EQ(SvSHFileOpCode(foDelete), 3u);
  EXPECT_EQ(SvSHFileOpCode(foMove), 1u);
  EXPECT_EQ(SvSHFileOpCode(foRename), 4u);
}

TEST(SvSHFileOperation, LayoutSetsPublishedProperties) {
  RegisterSvSHFileOperation();
  TSvSHFileOperation op(nullptr);
  EXPECT_EQ(op.Operation(), foCopy);
  EXPECT_EQ(SvSHFileOpFlags(op.Options()), 0xC0u);

  SetPropValue(&op, "Operation", TValue::Ident("foMove"));
  SetPropValue(&op, "Options",
               TValue::List({TValue::Ident("fofFilesOnly"), TValue::Ident("fofNoConfirmation"),
                             TValue::Ident("fofNoConfirmMkDir"),
                             TValue::Ident("fofSimpleProgress")}));
  SetPropValue(&op, "SourceFiles", TValue::List({TValue::String("a.txt"), TValue::String("b")}));
  SetPropValue(&op, "Title", TValue::String("Copying"));
  EXPECT_EQ(op.Operation(), foMove);
  EXPECT_EQ(SvSHFileOpFlags(op.Options()), 0x390u);
  EXPECT_EQ(op.SourceFiles()->CommaText(), "a.txt,b");
  EXPECT_EQ(op.Title(), "Copying");
  EXPECT_NE(FindPropInfo(&op, "DestFiles"), nullptr);
  EXPECT_NE(FindPropInfo(&op, "OnFileMapping"), nullptr);
}

TEST(SvSHFileOperation, ListSettersCopy) {
  TSvSHFileOperation op(nullptr);
  TStringList given;
  given.Add("x.txt");
  op.SetSourceFiles(&given);
  op.SetDestFiles(&given);
  given.Clear();
  EXPECT_EQ(op.SourceFiles()->Count(), 1);
  EXPECT_EQ(op.DestFiles()->Strings(0), "x.txt");
}

TEST_F(SvSHFileOperationTest, NoSourceNameRaises) {
  // Lines of blanks name no file: a delete must not take them for the current folder.
  WriteText(dir_ + "kept.cfg", "kept");
  const std::string previous = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  const std::vector<std::vector<std::string>> lists = {{}, {"   "}, {"", " \t ", "  "}};
  for (const auto& list : lists) {
    SCOPED_TRACE(list.size());
    op_.SourceFiles()->Clear();
    for (const std::string& line : list) op_.SourceFiles()->Add(line);
    op_.SetOperation(foDelete);
    try {
      op_.Execute();
      ADD_FAILURE() << "no exception";
    } catch (const ESvException& e) {
      EXPECT_EQ(e.Message(), "No files specified to TSvSHFileOperation Execute function");
    }
  }
  SetCurrentDirectoryA(previous.c_str());
  EXPECT_EQ(ReadText(dir_ + "kept.cfg"), "kept");
}

TEST_F(SvSHFileOperationTest, ABlankLineInADeleteListLeavesTheCurrentFolderAlone) {
  WriteText(dir_ + "gone.jpg", "x");
  WriteText(dir_ + "kept.cfg", "kept");
  const std::string previous = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  op_.SetOperation(foDelete);
  op_.SourceFiles()->Add(dir_ + "gone.jpg");
  op_.SourceFiles()->Add("   ");
  const bool ok = op_.Execute();
  SetCurrentDirectoryA(previous.c_str());
  EXPECT_TRUE(ok);
  EXPECT_FALSE(FileExists(dir_ + "gone.jpg"));
  EXPECT_EQ(ReadText(dir_ + "kept.cfg"), "kept");
}

namespace {

class TOwnerProbe : public TSvSHFileOperation {
 public:
  using TSvSHFileOperation::TSvSHFileOperation;
  using TSvSHFileOperation::OwnerWindow;
};

}  // namespace

TEST(SvSHFileOperation, TheShellsWindowsBelongToTheOwningForm) {
  std::unique_ptr<TForm> form(TForm::CreateNew<TForm>(nullptr));
  auto* owned = new TOwnerProbe(form.get());
  EXPECT_EQ(owned->OwnerWindow(), form->Handle());
  TOwnerProbe alone(nullptr);
  EXPECT_EQ(alone.OwnerWindow(), GetForegroundWindow());
}

// One file to a destination that does not exist yet: the folder (or the file's folder) is
// made without a question and the file lands in it, also when the destination is a folder
// given with its trailing backslash.
TEST_F(SvSHFileOperationTest, OneFileToMissingFolder) {
  struct Case {
    TSvSHFileOpType operation;
    const char* dest;    // below the test folder
    const char* landed;  // where the file must be afterwards
  } cases[] = {
      {foCopy, "new folder\\", "new folder\\caf\xE9 menu.txt"},
      {foCopy, "deeper\\still missing\\", "deeper\\still missing\\caf\xE9 menu.txt"},
      {foCopy, "named\\renamed.txt", "named\\renamed.txt"},
      {foMove, "moved \xE9\\", "moved \xE9\\caf\xE9 menu.txt"},
      {foMove, "moved named\\frame1.jpg", "moved named\\frame1.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dest);
    std::string source = dir_ + "caf\xE9 menu.txt";
    WriteText(source, c.dest);
    op_.SetOperation(c.operation);
    op_.SourceFiles()->Add(source);
    op_.DestFiles()->Add(dir_ + c.dest);

    EXPECT_TRUE(op_.Execute());
    EXPECT_EQ(ReadText(dir_ + c.landed), c.dest);
    EXPECT_EQ(FileExists(source), c.operation == foCopy);
    // Execute leaves the lists to the caller.
    EXPECT_EQ(op_.SourceFiles()->Count(), 1);
    EXPECT_EQ(op_.DestFiles()->Count(), 1);
    op_.SourceFiles()->Clear();
    op_.DestFiles()->Clear();
    DeleteFileA(source.c_str());
  }
}

TEST_F(SvSHFileOperationTest, TwoSourcesToOneFolder) {
  WriteText(dir_ + "system.cfg", "one");
  WriteText(dir_ + "qm splash.bmp", "two");
  op_.SourceFiles()->Add(dir_ + "system.cfg");
  op_.SourceFiles()->Add(dir_ + "qm splash.bmp");
  op_.DestFiles()->Add(dir_ + "Backup");  // missing, and without a trailing backslash
  EXPECT_TRUE(op_.Execute());
  EXPECT_EQ(ReadText(dir_ + "Backup\\system.cfg"), "one");
  EXPECT_EQ(ReadText(dir_ + "Backup\\qm splash.bmp"), "two");
}

TEST_F(SvSHFileOperationTest, RelativeSourceTakenAgainstCurrentFolder) {
  WriteText(dir_ + "demo one.tmd", "demo");
  std::string previous = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  op_.SourceFiles()->Add("demo one.tmd");
  op_.DestFiles()->Add(dir_ + "Levels\\pier\\");
  bool ok = op_.Execute();
  SetCurrentDirectoryA(previous.c_str());
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadText(dir_ + "Levels\\pier\\demo one.tmd"), "demo");
}

TEST_F(SvSHFileOperationTest, MissingSourceFails) {
  op_.SourceFiles()->Add(dir_ + "not there.cfg");
  op_.DestFiles()->Add(dir_ + "out\\");
  EXPECT_FALSE(op_.Execute());
  EXPECT_FALSE(FileExists(dir_ + "out\\not there.cfg"));
}

TEST_F(SvSHFileOperationTest, BlankLineDoesNotCutTheList) {
  WriteText(dir_ + "a.cfg", "a");
  WriteText(dir_ + "b.cfg", "b");
  op_.SourceFiles()->Add(dir_ + "a.cfg");
  op_.SourceFiles()->Add("");
  op_.SourceFiles()->Add(dir_ + "b.cfg");
  op_.DestFiles()->Add(dir_ + "both\\");
  EXPECT_TRUE(op_.Execute());
  EXPECT_TRUE(FileExists(dir_ + "both\\a.cfg"));
  EXPECT_TRUE(FileExists(dir_ + "both\\b.cfg"));
}

TEST_F(SvSHFileOperationTest, DeletesFiles) {
  WriteText(dir_ + "Quenmar0000.jpg", "x");
  op_.SetOperation(foDelete);
  op_.SourceFiles()->Add(dir_ + "Quenmar0000.jpg");
  EXPECT_TRUE(op_.Execute());
  EXPECT_FALSE(FileExists(dir_ + "Quenmar0000.jpg"));
}
