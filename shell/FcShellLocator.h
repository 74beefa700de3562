// One folder of the shell namespace, named by an item-ID list or by a special-folder id:
// what the shell tree, list and combo show and what the folder dialog hands back.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "platform/Classes.h"
#include "shell/FcShellUtils.h"

class TFcShellLocator : public TPersistent {
 public:
  TFcShellLocator() = default;
  ~TFcShellLocator() override = default;
  TFcShellLocator(const TFcShellLocator&) = delete;
  TFcShellLocator& operator=(const TFcShellLocator&) = delete;

  // The designated folder's absolute list (owned here; the caller never frees it). A special
  // folder is resolved once, with the application's window, and kept; nullptr when it cannot
  // be resolved or nothing is designated (the controls read nullptr as the desktop).
  LPCITEMIDLIST IdList();
  // Designates a copy of `list` (the caller keeps its own); nullptr or the empty list
  // designates nothing. Fires OnChange when the designation changed.
  void SetIdList(LPCITEMIDLIST list);
  // The special folder designated, kNoSpecialFolder when a list is.
  int CSIDL() const { return csidl_; }
  // Designates a special folder; fires OnChange unless it was designated already.
  void SetCSIDL(int id);

  // The file-system path of IdList (nullptr counts as the desktop); empty for a folder
  // without one.
  std::string PathName();
  // Designates the folder the shell parses the path as; a path that cannot be parsed (or
  // that is empty, or MAX_PATH characters long or more) designates nothing.
  void SetPathName(const std::string& path);
  void Clear() { SetIdList(nullptr); }

  // Same kind and the same folder: for lists, the shell compares them equal.
  bool IsEqual(TFcShellLocator* other);
  // nullptr: drops a held list (firing OnChange). A locator: takes its designation unless
  // IsEqual (firing OnChange). Anything else: refused as TPersistent refuses it.
  void Assign(TPersistent* source) override;

  // The stored form (the layout's "Pidl"): a kind byte, then the special-folder id, or a
  // signed 32-bit little-endian length and the list's bytes. Empty when nothing is
  // designated (nothing is stored).
  std::string StoredData() const;
  // Reads the stored form. Malformed data raises EReadError and leaves the locator as it was.
  // A stored length of 0 reads as the desktop special folder.
  void ReadStoredData(const std::string& data);

  // Fires OnChange; a descendant that must hear of changes first overrides it.
  virtual void Changed();

  TNotifyEvent OnChange;

 private:
  enum TKind : std::uint8_t { kIdList = 0, kSpecialFolder = 1 };

  TKind kind_ = kIdList;
  TIdListPtr idList_;
  std::uint8_t csidl_ = kNoSpecialFolder;
};

// Makes the locator known to stored layouts, with its folder stored as "Pidl" (hexadecimal
// text of the stored form). Once is enough.
void RegisterFcShellLocator();
