// Scoped owners of system handles and drawing state: whatever a scope takes from the system
// it gives back when the scope ends, also when an exception leaves it.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

// A kernel handle (file, event, process, thread, change notification...): closed at the end.
// Both nullptr and INVALID_HANDLE_VALUE mean "none", since the system's calls answer either.
class THandleGuard {
 public:
  THandleGuard() = default;
  explicit THandleGuard(HANDLE handle) : handle_(handle) {}
  ~THandleGuard() { Close(); }
  THandleGuard(THandleGuard&& other) noexcept : handle_(other.Release()) {}
  THandleGuard& operator=(THandleGuard&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.Release();
    }
    return *this;
  }
  THandleGuard(const THandleGuard&) = delete;
  THandleGuard& operator=(const THandleGuard&) = delete;

  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
  explicit operator bool() const { return Valid(); }
  // For calls that return a handle through a pointer; the old one is closed first.
  HANDLE* Receive() {
    Close();
    return &handle_;
  }
  HANDLE Release() { return std::exchange(handle_, nullptr); }
  void Close() {
    if (Valid()) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// A FindFirstFile search: FindClose at the end.
class TFindGuard {
 public:
  explicit TFindGuard(HANDLE find) : find_(find) {}
  ~TFindGuard() {
    if (Valid()) FindClose(find_);
  }
  TFindGuard(const TFindGuard&) = delete;
  TFindGuard& operator=(const TFindGuard&) = delete;
  HANDLE Get() const { return find_; }
  bool Valid() const { return find_ && find_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE find_;
};

// A window's device context from GetDC / GetWindowDC: released at the end.
class TWindowDC {
 public:
  explicit TWindowDC(HWND window, bool wholeWindow = false)
      : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
  ~TWindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context from CreateCompatibleDC: deleted at the end.
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC like = nullptr) : dc_(CreateCompatibleDC(like)) {}
  ~TMemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Get() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  HDC dc_;
};

// BeginPaint / EndPaint around a WM_PAINT's drawing.
class TPaintDC {
 public:
  explicit TPaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  ~TPaintDC() { EndPaint(window_, &ps_); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return dc_; }
  operator HDC() const { return dc_; }
  const PAINTSTRUCT& Paint() const { return ps_; }

 private:
  HWND window_;
  HDC dc_;
  PAINTSTRUCT ps_{};
};

// SaveDC / RestoreDC: every selection, clip, origin and mode set inside the scope is undone.
// A caller that must report a failure asks Saved() and restores early with Restore().
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}
  ~TSavedDC() {
    if (saved_) RestoreDC(dc_, saved_);
  }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;
  bool Saved() const { return saved_ != 0; }
  // False when nothing was saved or the system refused; the scope's end does nothing more.
  bool Restore() {
    int saved = std::exchange(saved_, 0);
    return saved && RestoreDC(dc_, saved);
  }

 private:
  HDC dc_;
  int saved_;
};

// An object selected into a device context: the previous one is selected back at the end.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~TSelectObject() {
    if (old_) SelectObject(dc_, old_);
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A memory device context (compatible with `like`, the screen when nullptr) with one bitmap
// selected: the bitmap is taken out and the context deleted at the end; the bitmap stays the
// caller's.
class TBitmapDC {
 public:
  explicit TBitmapDC(HBITMAP bitmap, HDC like = nullptr) : dc_(like), select_(dc_.Get(), bitmap) {}
  HDC Get() const { return dc_.Get(); }
  operator HDC() const { return dc_.Get(); }

 private:
  TMemoryDC dc_;
  TSelectObject select_;
};

// A GDI object this scope created (pen, brush, font, bitmap, region): deleted at the end.
// Deselect it first (TSelectObject declared after this guard does that).
template <typename T>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(T object) : object_(object) {}
  ~TGdiObject() { Reset(); }
  TGdiObject(TGdiObject&& other) noexcept : object_(other.Release()) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = other.Release();
    }
    return *this;
  }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  T Get() const { return object_; }
  operator T() const { return object_; }
  T Release() { return std::exchange(object_, nullptr); }
  void Reset(T object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }

 private:
  T object_ = nullptr;
};

// COM for the calling thread (CoInitialize): uninitialised at the end when this scope started
// it. A thread that already runs COM in another apartment keeps it as it is.
class TComScope {
 public:
  TComScope() : on_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~TComScope() {
    if (on_) CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

 private:
  bool on_;
};

// Restores a variable's value at the end of the scope (a busy flag, a nesting count).
template <typename T>
class TRestore {
 public:
  TRestore(T& variable, T during) : variable_(variable), old_(std::exchange(variable, during)) {}
  ~TRestore() { variable_ = old_; }
  TRestore(const TRestore&) = delete;
  TRestore& operator=(const TRestore&) = delete;

 private:
  T& variable_;
  T old_;
};

// Runs `undo` at the end of the scope: for the one-off state the guards above do not cover
// (a flag among others in a set, a count kept elsewhere). `undo` must not throw.
template <typename F>
class TScopeExit {
 public:
  explicit TScopeExit(F undo) : undo_(std::move(undo)) {}
  ~TScopeExit() { undo_(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  F undo_;
};
