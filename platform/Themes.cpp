#include "platform/Themes.h"

#include <atomic>

#include <shlwapi.h>

#include "platform/SysUtils.h"

namespace {

// Casting through void(*)() is the sanctioned way from GetProcAddress's type to the real one.
template <typename F>
void Bind(HMODULE module, F& function, const char* name) {
  function = module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

struct TUxTheme {
  BOOL(WINAPI* isThemeActive)();
  BOOL(WINAPI* isAppThemed)();
  HTHEME(WINAPI* openThemeData)(HWND, LPCWSTR);
  HRESULT(WINAPI* closeThemeData)(HTHEME);
  HRESULT(WINAPI* drawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  HRESULT(WINAPI* drawThemeParentBackground)(HWND, HDC, RECT*);
  HRESULT(WINAPI* drawThemeText)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
  HRESULT(WINAPI* getThemePartSize)(HTHEME, HDC, int, int, RECT*, THEMESIZE, SIZE*);
  HRESULT(WINAPI* getThemeBackgroundContentRect)(HTHEME, HDC, int, int, const RECT*, RECT*);
  HRESULT(WINAPI* getThemeColor)(HTHEME, int, int, int, COLORREF*);
  BOOL(WINAPI* isThemeBackgroundPartiallyTransparent)(HTHEME, int, int);

  TUxTheme() {
    // Loaded once and kept for the life of the process.
    HMODULE module = LoadLibraryA("uxtheme.dll");
    Bind(module, isThemeActive, "IsThemeActive");
    Bind(module, isAppThemed, "IsAppThemed");
    Bind(module, openThemeData, "OpenThemeData");
    Bind(module, closeThemeData, "CloseThemeData");
    Bind(module, drawThemeBackground, "DrawThemeBackground");
    Bind(module, drawThemeParentBackground, "DrawThemeParentBackground");
    Bind(module, drawThemeText, "DrawThemeText");
    Bind(module, getThemePartSize, "GetThemePartSize");
    Bind(module, getThemeBackgroundContentRect, "GetThemeBackgroundContentRect");
    Bind(module, getThemeColor, "GetThemeColor");
    Bind(module, isThemeBackgroundPartiallyTransparent, "IsThemeBackgroundPartiallyTransparent");
  }
};

const TUxTheme& UxTheme() {
  static const TUxTheme api;
  return api;
}

// Whether the common controls this process uses are version 6: the activation context of the
// program's manifest decides which comctl32 a plain name finds.
bool UsesCommonControls6() {
  static const bool uses = [] {
    HMODULE module = GetModuleHandleA("comctl32.dll");
    if (!module) module = LoadLibraryA("comctl32.dll");
    DLLGETVERSIONPROC getVersion = nullptr;
    Bind(module, getVersion, "DllGetVersion");
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (getVersion && SUCCEEDED(getVersion(&info)) && info.dwMajorVersion >= 6) return true;
    // Some side-by-side builds of version 6 still report 5.81; the manifest redirecting
    // comctl32.dll to the side-by-side assembly is what selects version 6 there.
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    return FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, "comctl32.dll", &data) !=
           FALSE;
  }();
  return uses;
}

}  // namespace

namespace Themes {

bool IsThemeActive() {
  const auto& api = UxTheme();
  return api.isThemeActive && api.isThemeActive();
}

bool IsAppThemed() {
  const auto& api = UxTheme();
  return api.isAppThemed && api.isAppThemed();
}

HTHEME OpenThemeData(HWND window, const std::string& classList) {
  const auto& api = UxTheme();
  return api.openThemeData ? api.openThemeData(window, AnsiToWide(classList).c_str()) : nullptr;
}

void CloseThemeData(HTHEME theme) {
  const auto& api = UxTheme();
  if (theme && api.closeThemeData) api.closeThemeData(theme);
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect, const RECT* clip) {
  const auto& api = UxTheme();
  if (!theme || !api.drawThemeBackground) return E_NOTIMPL;
  return api.drawThemeBackground(theme, dc, part, state, &rect, clip);
}

HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) {
  const auto& api = UxTheme();
  if (!api.drawThemeParentBackground) return E_NOTIMPL;
  RECT copy{};
  if (rect) copy = *rect;
  return api.drawThemeParentBackground(window, dc, rect ? &copy : nullptr);
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const std::string& text, DWORD flags,
                      const RECT& rect) {
  const auto& api = UxTheme();
  if (!theme || !api.drawThemeText) return E_NOTIMPL;
  std::wstring wide = AnsiToWide(text);
  return api.drawThemeText(theme, dc, part, state, wide.c_str(), static_cast<int>(wide.size()), flags, 0, &rect);
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind, SIZE& size) {
  const auto& api = UxTheme();
  if (!theme || !api.getThemePartSize) return E_NOTIMPL;
  RECT copy{};
  if (rect) copy = *rect;
  return api.getThemePartSize(theme, dc, part, state, rect ? &copy : nullptr, kind, &size);
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT& bounds,
                                      RECT& content) {
  const auto& api = UxTheme();
  if (!theme || !api.getThemeBackgroundContentRect) return E_NOTIMPL;
  return api.getThemeBackgroundContentRect(theme, dc, part, state, &bounds, &content);
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF& color) {
  const auto& api = UxTheme();
  if (!theme || !api.getThemeColor) return E_NOTIMPL;
  return api.getThemeColor(theme, part, state, property, &color);
}

bool IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
  const auto& api = UxTheme();
  return theme && api.isThemeBackgroundPartiallyTransparent &&
         api.isThemeBackgroundPartiallyTransparent(theme, part, state);
}

}  // namespace Themes

namespace {
std::atomic<TVisualStyles> visualStyles{TVisualStyles::vsSystem};
}  // namespace

void SetVisualStyles(TVisualStyles styles) { visualStyles = styles; }
TVisualStyles VisualStyles() { return visualStyles; }

bool ThemeServicesEnabled() {
  switch (visualStyles.load()) {
    case TVisualStyles::vsOn: return true;
    case TVisualStyles::vsOff: return false;
    case TVisualStyles::vsSystem: break;
  }
  return Themes::IsThemeActive() && Themes::IsAppThemed() && UsesCommonControls6();
}
