#include <gtest/gtest.h>

#include <memory>

#include "EventLog.h"
#include "TestSupport.h"
#include "platform/StringList.h"

namespace {

std::string TempName(const char* name) {
  char buf[MAX_PATH];
  GetTempPathA(sizeof(buf), buf);
  return Format("%sstringlist_%lu_%s", buf, GetCurrentProcessId(), name);
}


std::string ReadBytes(const std::string& name) {
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buf[4096];
  DWORD read = 0;
  while (ReadFile(h, buf, sizeof(buf), &read, nullptr) && read > 0) bytes.append(buf, read);
  CloseHandle(h);
  return bytes;
}

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

using V = std::vector<std::string>;

std::string ListErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EListError& e) {
    return e.Message();
  }
  return "<no error>";
}

}  // namespace

TEST(StringListFiles, RoundTripKeepsEveryByte) {
  const std::string in = TempName("in.htm"), out = TempName("out.htm");
  // 0xD7 is the multiplication sign of the ANSI code page; an empty line and blanks stay.
  const std::string bytes =
      "<BR><B><FONT size=5>Resolution: 1024\xd7" "768</FONT></B><BR>\r\n"
      "\r\n"
      "\tAntialising: 4\xd7<br>  \r\n"
      "e_vegetation_sprites_distance_ratio = \"1.0\"\r\n";
  ASSERT_TRUE(WriteFileBytes(in, bytes));
  TStringList list;
  list.LoadFromFile(in);
  EXPECT_EQ(Lines(list), (V{"<BR><B><FONT size=5>Resolution: 1024\xd7" "768</FONT></B><BR>", "",
                            "\tAntialising: 4\xd7<br>  ",
                            "e_vegetation_sprites_distance_ratio = \"1.0\""}));
  list.SaveToFile(out);
  EXPECT_EQ(ReadBytes(out), bytes);
  DeleteFileA(in.c_str());
  DeleteFileA(out.c_str());
}

TEST(StringListFiles, LoadSplitsAtAnyLineEndAndSaveWritesCrLf) {
  const std::string name = TempName("mixed.log");
  struct Case {
    const char* bytes;
    V lines;
  } cases[] = {
      {"a\nb\nc\n", {"a", "b", "c"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\nb\r\r\n", {"a", "", "b", ""}},
      {"", {}},
      {"\r\n", {""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    ASSERT_TRUE(WriteFileBytes(name, c.bytes));
    TStringList list;
    list.Add("old line");
    list.LoadFromFile(name);
    EXPECT_EQ(Lines(list), c.lines);
    list.SaveToFile(name);
    std::string expected;
    for (const std::string& line : c.lines) expected += line + "\r\n";
    EXPECT_EQ(ReadBytes(name), expected);
  }
  DeleteFileA(name.c_str());
}

TEST(StringListFiles, FilesThatCannotBeOpenedOrCreatedRaise) {
  const std::string missing = TempName("no such file.log");
  TStringList list;
  list.Add("kept");
  try {
    list.LoadFromFile(missing);
    ADD_FAILURE() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". " + SysErrorMessage(ERROR_FILE_NOT_FOUND));
  }
  EXPECT_EQ(Lines(list), V{"kept"});

  const std::string inMissingFolder = TempName("no such folder\\system.cfg");
  try {
    list.SaveToFile(inMissingFolder);
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(),
              "Cannot create file \"" + inMissingFolder + "\". " + SysErrorMessage(ERROR_PATH_NOT_FOUND));
  }
}

TEST(StringList, IndexOutOfRangeNamesTheIndex) {
  TStringList list;
  list.SetText("a\r\nb\r\nc\r\n");
  EXPECT_EQ(ListErrorOf([&] { list.Strings(3); }), "List index out of bounds (3)");
  EXPECT_EQ(ListErrorOf([&] { list.Objects(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ListErrorOf([&] { list.Delete(3); }), "List index out of bounds (3)");
  EXPECT_EQ(ListErrorOf([&] { list.Put(7, "x"); }), "List index out of bounds (7)");
  EXPECT_EQ(ListErrorOf([&] { list.Insert(4, "x"); }), "List index out of bounds (4)");
  EXPECT_EQ(ListErrorOf([&] { list.Exchange(0, 5); }), "List index out of bounds (5)");
  list.Insert(3, "d");  // at Count: appends
  list.Insert(0, "first");
  EXPECT_EQ(Lines(list), (V{"first", "a", "b", "c", "d"}));
}

TEST(StringList, SortedListsFollowTheirDuplicatesPolicy) {
  struct Case {
    TDuplicates policy;
    const char* error;
    int index;
    V lines;
  } cases[] = {
      {dupIgnore, "<no error>", 1, {"apple", "Pier", "zeta"}},
      {dupAccept, "<no error>", 1, {"apple", "PIER", "Pier", "zeta"}},
      {dupError, "Duplicates not allowed", -1, {"apple", "Pier", "zeta"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.policy);
    TStringList list;
    list.SetDuplicates(c.policy);
    list.SetText("zeta\r\nPier\r\napple\r\n");
    list.SetSorted(true);
    EXPECT_EQ(Lines(list), (V{"apple", "Pier", "zeta"}));
    int index = -1;
    EXPECT_EQ(ListErrorOf([&] { index = list.Add("PIER"); }), c.error);
    EXPECT_EQ(index, c.index);
    EXPECT_EQ(Lines(list), c.lines);
  }

  TStringList list;
  list.SetSorted(true);
  list.Add("b");
  list.Add("d");
  int at = -1;
  EXPECT_FALSE(list.Find("c", at));
  EXPECT_EQ(at, 1);
  EXPECT_TRUE(list.Find("D", at));
  EXPECT_EQ(at, 1);
  EXPECT_EQ(ListErrorOf([&] { list.Insert(0, "a"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(ListErrorOf([&] { list.Put(0, "a"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(Lines(list), (V{"b", "d"}));
}

TEST(StringList, IndexOfIgnoresCaseByTheLocaleUnlessCaseSensitive) {
  for (bool sorted : {false, true}) {
    SCOPED_TRACE(sorted);
    TStringList list;
    list.SetText("r_FSAA = \"0\"\r\ng_language = \"english\"\r\n\xc9t\xc9 = \"1\"\r\n");
    list.SetSorted(sorted);
    EXPECT_GE(list.IndexOf("R_fsaa = \"0\""), 0);
    EXPECT_EQ(list.Strings(list.IndexOf("G_LANGUAGE = \"ENGLISH\"")), "g_language = \"english\"");
    EXPECT_GE(list.IndexOf("\xe9t\xe9 = \"1\""), 0);
    EXPECT_EQ(list.IndexOf("r_FSAA = \"1\""), -1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("R_fsaa = \"0\""), -1);
    EXPECT_GE(list.IndexOf("r_FSAA = \"0\""), 0);
  }
}

TEST(StringList, SwitchingCaseSensitivityKeepsASortedListSearchable) {
  TStringList list;
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  for (const char* s : {"b", "A", "B", "a", "c", "C"}) list.Add(s);
  list.SetCaseSensitive(true);
  for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.IndexOf(list.Strings(i)), i) << list.Strings(i);
}

TEST(StringList, TextSplitsAndJoinsWithCrLf) {
  TStringList list;
  list.SetText("one\r\ntwo\nthree\rfour");
  EXPECT_EQ(Lines(list), (V{"one", "two", "three", "four"}));
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Text(), "");
}

TEST(StringList, NameValueLines) {
  TStringList list;
  list.SetText("OS=Windows\r\nno value here\r\nPath=C:\\a=b\r\nEmpty=\r\n");
  EXPECT_EQ(list.Names(0), "OS");
  EXPECT_EQ(list.Names(1), "");
  EXPECT_EQ(list.IndexOfName("path"), 2);
  EXPECT_EQ(list.IndexOfName("no value here"), -1);
  EXPECT_EQ(list.Values("PATH"), "C:\\a=b");
  EXPECT_EQ(list.Values("Empty"), "");
  EXPECT_EQ(list.Values("missing"), "");

  list.SetValues("os", "Linux");
  list.SetValues("CPU", "x86");
  list.SetValues("Path", "");
  EXPECT_EQ(Lines(list), (V{"os=Linux", "no value here", "Empty=", "CPU=x86"}));
}

TEST(StringList, ObjectsTravelWithTheirLinesAndAreNotOwned) {
  auto a = std::make_unique<TObject>(), b = std::make_unique<TObject>();
  {
    TStringList list;
    list.AddObject("a", a.get());
    list.AddObject("b", b.get());
    list.Add("none");
    list.Exchange(0, 1);
    EXPECT_EQ(list.Objects(0), b.get());
    EXPECT_EQ(list.Strings(0), "b");
    EXPECT_EQ(list.IndexOfObject(a.get()), 1);
    EXPECT_EQ(list.Objects(2), nullptr);

    TStringList copy;
    copy.Add("replaced");
    copy.Assign(&list);
    EXPECT_TRUE(copy.Equals(&list));
    EXPECT_EQ(copy.Objects(1), a.get());

    TStringList sorted;
    sorted.SetSorted(true);
    sorted.AddStrings(&list);
    EXPECT_EQ(Lines(sorted), (V{"a", "b", "none"}));
    EXPECT_EQ(sorted.Objects(0), a.get());
    // An ignored duplicate keeps its object.
    sorted.AddObject("A", b.get());
    EXPECT_EQ(sorted.Objects(0), a.get());
    list.Clear();
  }
  // Both objects outlive the lists that held them.
  EXPECT_EQ(a->ClassName(), "TObject");
  EXPECT_EQ(b->ClassName(), "TObject");
}

TEST(StringList, AssignAndEquals) {
  TStringList a, b;
  a.SetText("x\r\ny\r\n");
  b.SetText("x\r\nY\r\n");
  EXPECT_FALSE(a.Equals(&b));  // exact comparison
  b.Assign(&a);
  EXPECT_TRUE(a.Equals(&b));
  a.Assign(&a);
  EXPECT_EQ(Lines(a), (V{"x", "y"}));
  b.Add("z");
  EXPECT_FALSE(a.Equals(&b));
  TPersistent other;
  EXPECT_THROW(a.Assign(&other), EConvertError);
}

TEST(StringList, ChangeEventsComeOncePerChangeOrOncePerUpdate) {
  TStringList list;
  TEventLog events;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    events.Note("changing " + std::to_string(list.Count()));
  };
  list.OnChange = [&](TObject*) { events.Note("change " + std::to_string(list.Count())); };
  list.Add("a");
  EXPECT_EQ(events, (TEvents{"changing 0", "change 1"}));

  events.Clear();
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Delete(0);
  list.SetText("1\r\n2\r\n3\r\n");
  list.EndUpdate();
  EXPECT_EQ(events, (TEvents{"changing 1"}));
  list.EndUpdate();
  EXPECT_EQ(events, (TEvents{"changing 1", "change 3"}));

  events.Clear();
  list.Clear();
  list.Clear();  // nothing left to change
  EXPECT_EQ(events, (TEvents{"changing 3", "change 0"}));
}

TEST(StringList, SortAndCustomSort) {
  TStringList list;
  list.SetText("Volcano\r\npier\r\nArchive\r\nsteam\r\nRiver\r\n");
  list.Sort();
  EXPECT_EQ(Lines(list), (V{"Archive", "pier", "River", "steam", "Volcano"}));
  list.CustomSort([](TStringList* l, int i, int j) {
    return static_cast<int>(l->Strings(j).size()) - static_cast<int>(l->Strings(i).size());
  });
  EXPECT_EQ(list.Strings(0).size(), 7u);
  EXPECT_EQ(list.Strings(4).size(), 4u);

  TStringList many;
  for (int i = 0; i < 200; ++i) many.Add(Format("%03d", (i * 37) % 200));
  many.Sort();
  for (int i = 0; i < 200; ++i) ASSERT_EQ(many.Strings(i), Format("%03d", i));
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
  TStringList list;
  list.SetText("a\r\n\r\nb c\r\nx,y\r\nsay \"hi\"\r\n");
  EXPECT_EQ(list.CommaText(), "a,,\"b c\",\"x,y\",\"say \"\"hi\"\"\"");
  TStringList back;
  back.SetCommaText(list.CommaText());
  EXPECT_TRUE(back.Equals(&list));
  back.SetCommaText(" 640 800, 1024 ");
  EXPECT_EQ(Lines(back), (V{"640", "800", "1024"}));
  back.SetText("\r\n");
  EXPECT_EQ(back.CommaText(), "\"\"");
}
