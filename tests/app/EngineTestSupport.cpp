#include "app/EngineTestSupport.h"

#include "platform/Application.h"

void WriteBytes(const std::string& fileName, const std::string& bytes) {
  HANDLE h = CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << fileName;
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
}

std::string ReadBytes(const std::string& fileName) {
  HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buf[4096];
  DWORD read = 0;
  while (ReadFile(h, buf, sizeof(buf), &read, nullptr) && read > 0) bytes.append(buf, read);
  CloseHandle(h);
  return bytes;
}

void WriteLines(const std::string& fileName, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  WriteBytes(fileName, bytes);
}

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

std::vector<std::string> FileLines(const std::string& fileName) {
  TStringList list;
  list.LoadFromFile(fileName);
  return Lines(list);
}

void DeleteTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        DeleteTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

void CopyTree(const std::string& source, const std::string& dest) {
  ForceDirectories(dest);
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((source + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(source + "\\" + name, dest + "\\" + name);
    else
      CopyFileA((source + "\\" + name).c_str(), (dest + "\\" + name).c_str(), FALSE);
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

void EngineTest::SetUp() {
  static int serial = 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  Root = Format("%sengine test %lu_%d\\", temp, GetCurrentProcessId(), ++serial);
  DeleteTree(ExcludeTrailingBackslash(Root));
  ASSERT_TRUE(ForceDirectories(Root + "Program"));
  ASSERT_TRUE(ForceDirectories(Root + "Game\\Bin32"));
  ASSERT_TRUE(ForceDirectories(Root + "Game\\Levels\\Pier"));

  FileOp = new TSvSHFileOperation(&Owner);
  FileOp->SetOptions({fofFilesOnly, fofNoConfirmation, fofNoConfirmMkDir, fofSimpleProgress});
  Process = new TSvCreateProcess(&Owner);

  Bench = std::make_unique<TBenchEngine>();
  TBenchChoices& c = Bench->Choices;
  c.ProgramFolder = Root + "Program\\";
  c.GameRoot = Root + "Game\\";
  c.ExeFolder = Root + "Game\\Bin32\\";
  c.ResultsFolder = Root + "Game\\Benchmark\\";
  c.ScreenshotFolder = Root + "Game\\Screenshot\\";
  Bench->View = &View;
  Bench->FileOp = FileOp;
  Bench->cp = Process;
  Bench->Sleeper = [this](DWORD ms) { Pauses.push_back(ms); };
}

void EngineTest::TearDown() {
  Bench.reset();
  DeleteTree(ExcludeTrailingBackslash(Root));
}

bool EngineTest::WaitForGame(DWORD timeoutMs) {
  bool ended = false;
  Process->OnTerminate = [&](TObject*, auto) { ended = true; };
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!ended && GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Application->ProcessMessages();
  }
  Process->OnTerminate = nullptr;
  return ended;
}
