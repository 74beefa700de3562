#include "services/ShortcutReader.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/Guards.h"
#include "platform/SysUtils.h"

namespace {

[[noreturn]] void ShortcutError() { throw Exception("Error opening Shortcut."); }

// Releases an interface when it goes out of scope.
template <class I>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() {
    if (p_) p_->Release();
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  I* operator->() const { return p_; }
  I* Get() const { return p_; }
  I** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }

 private:
  I* p_ = nullptr;
};

// The link object's texts come back in buffers of MAX_PATH characters.
struct TTextBuffer {
  char text[MAX_PATH] = {};
  std::string Str() const { return std::string(text, strnlen(text, sizeof text)); }
};

void ReadLink(IShellLinkA* link, TShortcutDetails& d) {
  TTextBuffer buf;
  link->GetArguments(buf.text, sizeof buf.text);
  d.Arguments = buf.Str();

  buf = {};
  link->GetDescription(buf.text, sizeof buf.text);
  d.Description = buf.Str();

  WORD hotKey = 0;
  link->GetHotkey(&hotKey);
  d.HotKey = HotKeyToShortCut(hotKey);

  buf = {};
  int iconIndex = 0;
  link->GetIconLocation(buf.text, sizeof buf.text, &iconIndex);
  d.IconLocation = buf.Str();
  d.IconIndex = iconIndex;

  buf = {};
  WIN32_FIND_DATAA findData{};
  link->GetPath(buf.text, sizeof buf.text, &findData, SLGP_RAWPATH);
  d.Path = buf.Str();

  int showCmd = SW_SHOWNORMAL;
  link->GetShowCmd(&showCmd);
  d.ShowCmd = ShowCmdToWindowState(showCmd);

  buf = {};
  link->GetWorkingDirectory(buf.text, sizeof buf.text);
  d.WorkingDirectory = buf.Str();
}

}  // namespace

void ReadShortcutDetails(const std::string& fileName, TShortcutDetails& details) {
  details = TShortcutDetails{};
  TComScope com;
  // The interfaces go before COM does.
  TComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.OutVoid())))
    ShortcutError();
  TComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) ShortcutError();
  std::wstring wideName = AnsiToWide(fileName);
  if (file->Load(wideName.c_str(), STGM_READ) != S_OK) ShortcutError();

  TShortcutDetails read;
  ReadLink(link.Get(), read);
  details = std::move(read);
}

TWindowState ShowCmdToWindowState(int showCmd) {
  switch (showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      return wsMinimized;
    case SW_SHOWMAXIMIZED:
    case SW_SHOWDEFAULT:
      return wsMaximized;
    default:
      return wsNormal;
  }
}

TShortCut HotKeyToShortCut(WORD hotKey) {
  unsigned key = hotKey & 0xFFu;
  unsigned modifiers = (hotKey >> 8) & 0xFFu;
  return static_cast<TShortCut>((key + (modifiers << 13)) & 0xFFFFu);
}
