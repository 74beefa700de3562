// What the shell benches share: the bare walk of a folder through the shell's interfaces, the
// least any listing of it costs.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BenchRatio.h"
#include "shell/FcShellUtils.h"

// The bare walk: the folder parsed and bound, every item's name and the attributes the list
// asks for. Returns the number of items.
inline int BareWalk(const std::string& path) {
  IShellFolder* desktop = nullptr;
  SHGetDesktopFolder(&desktop);
  std::wstring wide(path.begin(), path.end());
  LPITEMIDLIST list = nullptr;
  desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &list, nullptr);
  IShellFolder* folder = nullptr;
  desktop->BindToObject(list, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
  IEnumIDList* items = nullptr;
  folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &items);
  int count = 0;
  LPITEMIDLIST batch[64];
  ULONG fetched = 0;
  HRESULT hr;
  do {
    hr = items->Next(64, batch, &fetched);
    for (ULONG i = 0; i < fetched; ++i) {
      LPCITEMIDLIST item = batch[i];
      STRRET name{};
      if (SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_INFOLDER, &name))) {
        std::string text = StrRetToString(item, name);
        StrRetFree(name);
      }
      SFGAOF attributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE |
                          SFGAO_GHOSTED | SFGAO_SHARE | SFGAO_LINK;
      folder->GetAttributesOf(1, &item, &attributes);
      CoTaskMemFree(batch[i]);
      ++count;
    }
  } while (hr == S_OK && fetched > 0);
  items->Release();
  folder->Release();
  CoTaskMemFree(list);
  desktop->Release();
  return count;
}
