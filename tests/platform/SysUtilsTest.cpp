#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/SysUtils.h"
#include "resources/ResourceIds.h"

namespace {

// A fresh folder under the system's temporary folder, removed with all it holds.
class TempFolder {
 public:
  TempFolder() {
    char buf[MAX_PATH];
    GetTempPathA(sizeof(buf), buf);
    path_ = Format("%ssysutils_%lu_%lu\\", buf, GetCurrentProcessId(), GetTickCount());
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { Remove(path_); }
  const std::string& Path() const { return path_; }

 private:
  static void Remove(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(dir + name + "\\");
        else DeleteFileA((dir + name).c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }
  std::string path_;
};

// Tests change the global settings; each gets them back as the locale had them.
class SysUtilsLocale : public testing::Test {
 protected:
  void SetUp() override { saved_ = FormatSettings; }
  void TearDown() override { FormatSettings = saved_; }

 private:
  TFormatSettings saved_;
};


}  // namespace

TEST(SysUtilsFiles, ForceDirectoriesMakesEveryMissingParent) {
  TempFolder tmp;
  const std::string nested = tmp.Path() + "Benchmark\\Screenshot\\800\\";
  EXPECT_TRUE(ForceDirectories(nested));
  EXPECT_TRUE(DirectoryExists(nested));
  EXPECT_TRUE(DirectoryExists(tmp.Path() + "Benchmark"));
  EXPECT_TRUE(ForceDirectories(nested));  // already there
  EXPECT_FALSE(CreateDir(ExcludeTrailingBackslash(nested)));

  // A file in the way cannot become a folder.
  ASSERT_TRUE(WriteFileBytes(tmp.Path() + "file", "x"));
  EXPECT_FALSE(ForceDirectories(tmp.Path() + "file\\sub"));
  EXPECT_FALSE(ForceDirectories(""));
}

TEST(SysUtilsFiles, ExistsDeleteAndRenameTellFilesFromFolders) {
  TempFolder tmp;
  const std::string a = tmp.Path() + "qmsplash.bmp", b = tmp.Path() + "qmsplashold.bmp";
  ASSERT_TRUE(WriteFileBytes(a, "A"));
  EXPECT_TRUE(FileExists(a));
  EXPECT_FALSE(DirectoryExists(a));
  EXPECT_FALSE(FileExists(tmp.Path()));
  EXPECT_TRUE(DirectoryExists(tmp.Path()));

  EXPECT_TRUE(RenameFile(a, b));
  EXPECT_FALSE(FileExists(a));
  EXPECT_TRUE(FileExists(b));
  // A plain rename never replaces a file.
  ASSERT_TRUE(WriteFileBytes(a, "new"));
  EXPECT_FALSE(RenameFile(b, a));
  EXPECT_TRUE(FileExists(b));

  EXPECT_TRUE(DeleteFile(b));
  EXPECT_FALSE(FileExists(b));
  EXPECT_FALSE(DeleteFile(b));
}

TEST(SysUtilsFiles, ExpandFileNameTakesRelativeNamesAgainstTheCurrentFolder) {
  TempFolder tmp;
  const std::string saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDirectoryA(tmp.Path().c_str()));
  const std::string here = IncludeTrailingBackslash(GetCurrentDir());
  EXPECT_TRUE(SameText(here, tmp.Path())) << here;
  EXPECT_EQ(ExpandFileName("Levels\\Pier\\..\\1.tmd"), here + "Levels\\1.tmd");
  EXPECT_EQ(ExpandFileName("rirered.bat"), here + "rirered.bat");
  // A local path has no universal form other than its full path.
  EXPECT_EQ(ExpandUNCFileName("Backup\\system.cfg"), here + "Backup\\system.cfg");
  SetCurrentDirectoryA(saved.c_str());
}

TEST(SysUtilsFiles, ReadFileContentsGivesEveryByteAsItIs) {
  using namespace std::string_literals;
  TempFolder tmp;
  std::string large;
  for (int i = 0; i < 200000; ++i) large += static_cast<char>(i % 251);
  struct TCase {
    const char* what;
    std::string bytes;
  };
  const TCase cases[] = {
      {"empty", ""},
      {"line ends, nul and code page bytes", "r_Width = \"640\xD7" "480\"\r\n\0\n\r\xFF"s},
      {"longer than one read", large},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = tmp.Path() + "contents.bin";
    ASSERT_TRUE(WriteFileBytes(name, c.bytes));
    EXPECT_EQ(ReadFileContents(name), c.bytes);
  }

  // A file another program still holds open for writing is read as far as it is written.
  const std::string log = tmp.Path() + "demo.log";
  HANDLE writer = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const std::string line = "!TimeDemo Run 0 Finished.\r\n";
  DWORD written = 0;
  WriteFile(writer, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  EXPECT_EQ(ReadFileContents(log), line);
  CloseHandle(writer);
}

TEST(SysUtilsFiles, ReadFileContentsNamesTheFileItCannotOpen) {
  TempFolder tmp;
  const std::string missing = tmp.Path() + "no such file.cfg";
  const std::string held = tmp.Path() + "system.cfg";
  ASSERT_TRUE(WriteFileBytes(held, "x"));
  HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  struct TCase {
    std::string name;
    DWORD error;
  };
  const TCase cases[] = {{missing, ERROR_FILE_NOT_FOUND}, {held, ERROR_SHARING_VIOLATION}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      ReadFileContents(c.name);
      ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Message(), "Cannot open file \"" + c.name + "\". " + SysErrorMessage(c.error));
      EXPECT_EQ(e.ErrorCode(), c.error);
    }
  }
  CloseHandle(holder);
}

TEST(SysUtilsFiles, SplitsPathsAtBackslashAndDrive) {
  struct Case {
    const char *name, *path, *dir, *file, *ext, *changed;
  } cases[] = {
      {"C:\\Games\\Bin32\\Quenmar.exe", "C:\\Games\\Bin32\\", "C:\\Games\\Bin32", "Quenmar.exe", ".exe",
       "C:\\Games\\Bin32\\Quenmar.log"},
      {"C:\\", "C:\\", "C:\\", "", "", "C:\\.log"},
      {"C:demo.tmd", "C:", "C:", "demo.tmd", ".tmd", "C:demo.log"},
      {"system.cfg", "", "", "system.cfg", ".cfg", "system.log"},
      {"Levels.v2\\Pier", "Levels.v2\\", "Levels.v2", "Pier", "", "Levels.v2\\Pier.log"},
      {"\\\\server\\share\\a.b.c", "\\\\server\\share\\", "\\\\server\\share", "a.b.c", ".c",
       "\\\\server\\share\\a.b.log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExtractFilePath(c.name), c.path);
    EXPECT_EQ(ExtractFileDir(c.name), c.dir);
    EXPECT_EQ(ExtractFileName(c.name), c.file);
    EXPECT_EQ(ExtractFileExt(c.name), c.ext);
    EXPECT_EQ(ChangeFileExt(c.name, ".log"), c.changed);
  }
  EXPECT_EQ(IncludeTrailingBackslash("C:\\Games"), "C:\\Games\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\Games\\"), "C:\\Games\\");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\Games\\"), "C:\\Games");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\Games"), "C:\\Games");
}

TEST(SysUtilsText, CaseFollowsTheLocaleOnlyInTheAnsiFunctions) {
  // 0xE9 is e acute, 0xC9 its capital; 0xD7 (the multiplication sign) has no case.
  EXPECT_EQ(AnsiUpperCase("r_width \xe9\xd7"), "R_WIDTH \xc9\xd7");
  EXPECT_EQ(AnsiLowerCase("R_WIDTH \xc9\xd7"), "r_width \xe9\xd7");
  EXPECT_EQ(UpperCase("r_width \xe9"), "R_WIDTH \xe9");
  EXPECT_EQ(LowerCase("R_WIDTH \xc9"), "r_width \xc9");
  EXPECT_TRUE(AnsiSameText("Quenmar.EXE \xe9", "quenmar.exe \xc9"));
  EXPECT_FALSE(SameText("\xe9", "\xc9"));
  EXPECT_TRUE(SameText("Quenmar.EXE", "quenmar.exe"));
  EXPECT_EQ(AnsiCompareText("apple", "Banana"), -1);
  EXPECT_EQ(AnsiCompareText("Banana", "apple"), 1);
  EXPECT_EQ(AnsiCompareText("ABC", "abc"), 0);
  EXPECT_NE(AnsiCompareStr("ABC", "abc"), 0);
}

TEST(SysUtilsText, TrimReplaceAndPos) {
  EXPECT_EQ(Trim("\t  Processor: x86 \r\n"), "Processor: x86");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a \x01"), "  a");
  EXPECT_EQ(Trim(" \t\r\n"), "");

  EXPECT_EQ(StringReplace("1, 3, 0, 1337", ",", ".", {rfReplaceAll}), "1. 3. 0. 1337");
  EXPECT_EQ(StringReplace("1, 3, 0, 1337", " ", "", {rfReplaceAll}), "1,3,0,1337");
  EXPECT_EQ(StringReplace("57.12.5", ".", ",", {}), "57,12.5");
  EXPECT_EQ(StringReplace("Map PIER map pier", "pier", "Steam", {rfReplaceAll, rfIgnoreCase}),
            "Map Steam map Steam");
  EXPECT_EQ(StringReplace("aaa", "a", "aa", {rfReplaceAll}), "aaaaaa");
  EXPECT_EQ(StringReplace("abc", "", "x", {rfReplaceAll}), "abc");

  EXPECT_EQ(Pos("=", "OS=Windows"), 3);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
}

TEST(SysUtilsNumbers, StrToIntAcceptsOnlyWholeIntegers) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  } cases[] = {
      {"0", true, 0},          {"1337", true, 1337},         {"-42", true, -42},
      {"+7", true, 7},         {"  12", true, 12},           {"$1F", true, 31},
      {"0x10", true, 16},      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0}, {"", false, 0},              {"12 ", false, 0},
      {"12a", false, 0},       {"1.5", false, 0},            {"-", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.ok) {
      EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
      try {
        StrToInt(c.text);
        ADD_FAILURE() << "no error";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), Format("'%s' is not a valid integer value", c.text));
      }
    }
    EXPECT_EQ(StrToIntDef(c.text, -99), c.ok ? c.value : -99);
  }
}

TEST_F(SysUtilsLocale, FloatToStrIsTheShortestTextOfFifteenDigits) {
  FormatSettings.DecimalSeparator = '.';
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {static_cast<double>(57.12f), "57.1199989318848"},
      {100, "100"},
      {0, "0"},
      {-2.25, "-2.25"},
      {0.1 + 0.2, "0.3"},
      {57.125, "57.125"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {0.00001, "0.00001"},
      {0.0000015, "1.5E-6"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text);

  FormatSettings.DecimalSeparator = ',';
  EXPECT_EQ(FloatToStr(57.125), "57,125");
  EXPECT_EQ(FloatToStr(1.5e-7), "1,5E-7");
}

TEST_F(SysUtilsLocale, StrToFloatReadsTheLocaleSeparatorOnly) {
  FormatSettings.DecimalSeparator = '.';
  EXPECT_DOUBLE_EQ(StrToFloat("57.12"), 57.12);
  EXPECT_DOUBLE_EQ(StrToFloat(" -0.5 "), -0.5);
  EXPECT_DOUBLE_EQ(StrToFloat(".25"), 0.25);
  EXPECT_DOUBLE_EQ(StrToFloat("3."), 3.0);
  EXPECT_DOUBLE_EQ(StrToFloat("1.5E3"), 1500.0);
  EXPECT_DOUBLE_EQ(StrToFloat("+2e-2"), 0.02);

  FormatSettings.DecimalSeparator = ',';
  EXPECT_DOUBLE_EQ(StrToFloat("57,12"), 57.12);
  double v = 7;
  EXPECT_FALSE(TryStrToFloat("57.12", v));
  EXPECT_EQ(v, 7);
  for (const char* bad : {"57.12", "", ",", "1e", "1,2,3", "12 FPS", "1e999", "nan"}) {
    SCOPED_TRACE(bad);
    try {
      StrToFloat(bad);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), Format("'%s' is not a valid floating point value", bad));
    }
  }
}

TEST_F(SysUtilsLocale, FormatFloatPictures) {
  FormatSettings.DecimalSeparator = '.';
  FormatSettings.ThousandSeparator = ',';
  struct Case {
    const char* format;
    double value;
    const char* text;
  } cases[] = {
      {"0", 1500, "1500"},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0", -0.4, "0"},
      {"0.00", 57.125, "57.13"},
      {"0.00", 1.005, "1.01"},
      {"0.00", 0, "0.00"},
      {"#,##0.##", 1234567.891, "1,234,567.89"},
      {"#,##0.##", 12, "12"},
      {"#,##0.##", 999.999, "1,000"},
      {"#,##0.##", -1234.5, "-1,234.5"},
      {"0.0#", 1, "1.0"},
      {"0.0#", 1.234, "1.23"},
      {"0.0#", 0.999, "1.0"},
      {"0.00", 0.004, "0.00"},
      {"0.00 FPS", 57.1, "57.10 FPS"},
      {"0.0;(0.0);\"zero\"", -1.25, "(1.3)"},
      {"0.0;(0.0);\"zero\"", 0, "zero"},
      {",0;(,0)", 1234567, "1,234,567"},
      {",0;(,0)", -1234, "(1,234)"},
      {",0;(,0)", 7, "7"},
      {"\"a,b\" ,0", 1234, "a,b 1,234"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(FormatFloat(c.format, c.value), c.text) << c.value;
  }

  FormatSettings.DecimalSeparator = ',';
  FormatSettings.ThousandSeparator = '.';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
}

TEST(SysUtilsDates, EncodeAndDecodeCountDaysFrom1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);

  const TDateTime dt = EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 58, 999);
  WORD y, m, d, h, n, s, ms;
  DecodeDate(dt, y, m, d);
  DecodeTime(dt, h, n, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
  EXPECT_EQ(((h * 100 + n) * 100 + s) * 1000 + ms, 235958999);

  // Half a millisecond before midnight is midnight of the next day.
  DecodeDate(EncodeDate(2023, 12, 31) + (86400000 - 0.4) / 86400000.0, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240101);

  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2023, 13, 1), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);

  const TDateTime today = Date(), now = Now();
  EXPECT_EQ(today, static_cast<double>(static_cast<long long>(today)));
  EXPECT_GE(now, today);
  EXPECT_LT(now, today + 1.001);
  EXPECT_GE(Time(), 0);
  EXPECT_LT(Time(), 1);
}

TEST_F(SysUtilsLocale, DateAndTimeTextsFollowTheSettings) {
  const TDateTime morning = EncodeDate(2006, 1, 2) + EncodeTime(9, 7, 5, 0);
  const TDateTime evening = EncodeDate(2006, 1, 2) + EncodeTime(21, 7, 5, 0);
  FormatSettings.DateSeparator = '/';
  FormatSettings.TimeSeparator = ':';
  FormatSettings.ShortDateFormat = "M/d/yyyy";
  FormatSettings.LongTimeFormat = "HH:mm:ss";
  EXPECT_EQ(DateToStr(morning), "1/2/2006");
  EXPECT_EQ(TimeToStr(morning), "09:07:05");

  FormatSettings.DateSeparator = '.';
  FormatSettings.TimeSeparator = '.';
  FormatSettings.ShortDateFormat = "dd/MM/yyyy";
  EXPECT_EQ(DateToStr(morning), "02.01.2006");
  EXPECT_EQ(TimeToStr(morning), "09.07.05");

  FormatSettings.TimeSeparator = ':';
  FormatSettings.LongTimeFormat = "h:mm:ss AMPM";
  EXPECT_EQ(TimeToStr(morning), "9:07:05 AM");
  EXPECT_EQ(TimeToStr(evening), "9:07:05 PM");
  EXPECT_EQ(TimeToStr(EncodeTime(0, 30, 0, 0)), "12:30:00 AM");

  struct Case {
    const char* format;
    const char* text;
  } cases[] = {
      {"yyyy-mm-dd", "2006-01-02"},
      {"d/m/yy", "2.1.06"},
      {"mmm d, yyyy", "Jan 2, 2006"},
      {"dddd mmmm", "Monday January"},
      {"ddd", "Mon"},
      {"hh:nn:ss.zzz", "21:07:05.000"},
      {"h:m", "21:7"},
      {"mm:ss", "07:05"},
      {"hh am/pm", "09 pm"},
      {"h A/P", "9 P"},
      {"\"at\" hh'h'", "at 21h"},
  };
  FormatSettings.ShortMonthNames[0] = "Jan";
  FormatSettings.LongMonthNames[0] = "January";
  FormatSettings.ShortDayNames[1] = "Mon";
  FormatSettings.LongDayNames[1] = "Monday";
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.format, evening), c.text) << c.format;
}

TEST(SysUtilsDates, LocaleSettingsAreReadAgainOnRequest) {
  const TFormatSettings saved = FormatSettings;
  FormatSettings.DecimalSeparator = '#';
  FormatSettings.LongTimeFormat = "";
  GetFormatSettings();
  EXPECT_EQ(FormatSettings.DecimalSeparator, saved.DecimalSeparator);
  EXPECT_EQ(FormatSettings.LongTimeFormat, saved.LongTimeFormat);
  EXPECT_FALSE(FormatSettings.ShortDateFormat.empty());
  // The locale's own separators are written into the formats as "/" and ":".
  EXPECT_NE(FormatSettings.LongTimeFormat.find(':'), std::string::npos);
  EXPECT_EQ(FormatSettings.LongTimeFormat.find('t'), std::string::npos);
}

TEST(SysUtilsResources, StringTableTextsAreLoadedWhole) {
  EXPECT_EQ(LoadResString(IDS_SV_PROCESS_RUNNING), "Cannot perform this operation when process is running");
  std::string longText = LoadResString(9001);
  EXPECT_EQ(longText.size(), 373u);
  EXPECT_EQ(longText.substr(longText.size() - 3), "END");
  EXPECT_EQ(LoadResString(9002), "x");
  EXPECT_EQ(LoadResString(9003), "");
}
