// What many tests need: scratch folders, whole files as bytes, the message of what a step
// raised, and a message loop that runs until a condition holds or a time limit passes.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Application.h"

// Deletes the folder (ending with a backslash) and everything in it, read-only files too.
inline void DeleteFolderTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(folder + name + "\\");
      } else {
        SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

// Writes the bytes as the whole file; false when it cannot be created.
inline bool WriteFileBytes(const std::string& name, const std::string& bytes) {
  HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

// The whole file as bytes; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& name) {
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes(GetFileSize(h, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(h);
  bytes.resize(read);
  return bytes;
}

// The message of what `action` raised; "(nothing raised)" when it raised nothing.
inline std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

// Runs the GUI thread's messages (where worker threads hand their ends over) until `done`
// holds; false after `ms` milliseconds, so a lost event fails a test instead of hanging it.
inline bool LoopUntil(const std::function<bool()>& done, DWORD ms = 10000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Application->ProcessMessages();
  }
  return true;
}

// What a message box showed and which of the buttons it had.
struct TBoxSeen {
  bool found = false;
  std::string text;
  bool hasOk = false, hasYes = false, hasNo = false;
};

// Answers the message box titled `title` from another thread, as a user would: waits for it
// to appear (the GUI thread must stay free to show it), notes what it shows, and presses
// `button`.
class TBoxAnswerer {
 public:
  TBoxAnswerer(std::string title, int button)
      : worker_([this, title = std::move(title), button] {
          for (int i = 0; i < 500; ++i) {
            HWND box = FindWindowA("#32770", title.c_str());
            if (box && IsWindowVisible(box)) {
              char text[256] = {};
              GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
              seen_.text = text;
              seen_.hasOk = GetDlgItem(box, IDOK) != nullptr;
              seen_.hasYes = GetDlgItem(box, IDYES) != nullptr;
              seen_.hasNo = GetDlgItem(box, IDNO) != nullptr;
              seen_.found = true;
              found_ = true;
              PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
              return;
            }
            Sleep(10);
          }
        }) {}
  ~TBoxAnswerer() { Join(); }
  TBoxAnswerer(const TBoxAnswerer&) = delete;
  TBoxAnswerer& operator=(const TBoxAnswerer&) = delete;

  // Whether the box has been answered yet; does not wait.
  bool Found() const { return found_; }
  // What the box showed; waits until it has been answered or the answerer gave up.
  const TBoxSeen& Seen() {
    Join();
    return seen_;
  }
  const std::string& Text() { return Seen().text; }

 private:
  void Join() {
    if (worker_.joinable()) worker_.join();
  }
  std::atomic<bool> found_{false};
  TBoxSeen seen_;
  std::thread worker_;
};

// Answers every message box of the application that appears, with OK, noting its text, until
// `count` have been answered or it gives up.
class TBoxesAnswerer {
 public:
  explicit TBoxesAnswerer(int count)
      : worker_([this, count, title = Application->Title()] {
          for (int i = 0; i < 1000 && static_cast<int>(texts_.size()) < count; ++i) {
            HWND box = FindWindowA("#32770", title.c_str());
            if (box && IsWindowVisible(box)) {
              char text[512] = {};
              GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
              texts_.push_back(text);
              PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
              while (IsWindow(box) && i++ < 1000) Sleep(5);
            }
            Sleep(5);
          }
        }) {}
  ~TBoxesAnswerer() {
    if (worker_.joinable()) worker_.join();
  }
  const std::vector<std::string>& Texts() {
    if (worker_.joinable()) worker_.join();
    return texts_;
  }

 private:
  std::vector<std::string> texts_;
  std::thread worker_;
};
