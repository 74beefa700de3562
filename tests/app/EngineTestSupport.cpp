#include "app/EngineTestSupport.h"

#include "platform/Application.h"
#include "TestSupport.h"

TTestSettings::TTestSettings() {
  Registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!Registry.OpenKey(Path(), true)) ADD_FAILURE() << "the settings key cannot be made";
  Registry.WriteString("NoErrorWarning", "0");
  Registry.WriteString("ConfigBackup", "0");
}

bool TFullDiskFileOp::Execute() {
  if (Operation() != foCopy) return TSvSHFileOperation::Execute();
  for (int i = 0; i < DestFiles()->Count(); ++i) {
    const std::string dest = DestFiles()->Strings(i);
    ForceDirectories(ExtractFilePath(dest));
    WriteFileBytes(dest, "");
  }
  return true;
}

THeldOpen::THeldOpen(const std::string& fileName, DWORD share)
    : handle_(CreateFileA(fileName.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0,
                          nullptr)) {}

THeldOpen::~THeldOpen() {
  if (Ok()) CloseHandle(handle_);
}

namespace {

// The file's name in the Unix file system under Wine; "" elsewhere.
std::string UnixFileName(const std::string& fileName) {
  using TUnixFileName = char*(CDECL*)(LPCWSTR);
  const auto unixFileName = reinterpret_cast<TUnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  wchar_t wide[MAX_PATH] = {};
  if (!unixFileName || !MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, wide, MAX_PATH))
    return std::string();
  char* name = unixFileName(wide);
  if (!name) return std::string();
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Starts a program of the system under Wine (Z:\bin\ln); Wine cannot wait for it.
bool StartUnixProgram(const char* program, std::string line) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool Opens(const std::string& fileName) {
  const HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace

TFullDeviceLink::TFullDeviceLink(const std::string& fileName)
    : fileName_(fileName), unixName_(UnixFileName(fileName)) {
  ok_ = !unixName_.empty() &&
        StartUnixProgram("Z:\\bin\\ln", "ln -sf /dev/full \"" + unixName_ + "\"") &&
        LoopUntil([&] { return Opens(fileName_); }, 5000);
}

TFullDeviceLink::~TFullDeviceLink() {
  if (!unixName_.empty() && StartUnixProgram("Z:\\bin\\rm", "rm -f \"" + unixName_ + "\""))
    LoopUntil([&] { return !Opens(fileName_); }, 5000);
}

void SetLoggedScores(const std::string& log, const std::vector<std::string>& scores) {
  std::string bytes = ReadFileBytes(log);
  const std::string label = "Average FPS: ";
  size_t at = 0;
  for (const std::string& score : scores) {
    at = bytes.find(label, at);
    ASSERT_NE(at, std::string::npos) << "fewer runs in " << log;
    at += label.size();
    const size_t end = bytes.find("\r\n", at);
    bytes.replace(at, end - at, score);
  }
  WriteBytes(log, bytes);
}

std::string MissingDrive() {
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'Y'; letter > 'C'; --letter)
    if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
  ADD_FAILURE() << "every drive letter is taken";
  return "C:";
}

bool IsReadOnly(const std::string& fileName) {
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void SetReadOnly(const std::string& fileName) {
  ASSERT_TRUE(SetFileAttributesA(fileName.c_str(), FILE_ATTRIBUTE_READONLY)) << fileName;
}

void WriteBytes(const std::string& fileName, const std::string& bytes) {
  ASSERT_TRUE(WriteFileBytes(fileName, bytes)) << fileName;
}

std::string ReadBytes(const std::string& fileName) {
  return FileExists(fileName) ? ReadFileBytes(fileName) : std::string("<missing>");
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& mask) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + mask).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.emplace_back(data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
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
  DeleteFolderTree(Root);
  ASSERT_TRUE(ForceDirectories(Root + "Program"));
  ASSERT_TRUE(ForceDirectories(Root + "Game\\Bin32"));
  ASSERT_TRUE(ForceDirectories(Root + "Game\\Levels\\Pier"));

  FileOp = new TSvSHFileOperation(&Owner);
  SetQuietFileOperation(*FileOp);
  Process = new TSvCreateProcess(&Owner);
  SetHiddenStart(*Process);

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
  Bench->Registry = &Settings.Registry;
  Bench->Sleeper = [this](DWORD ms) { Pauses.push_back(ms); };
}

void EngineTest::TearDown() {
  Bench.reset();
  DeleteFolderTree(Root);
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
