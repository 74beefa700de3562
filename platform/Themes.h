// Visual styles: the uxtheme calls, looked up in uxtheme.dll at run time so that the program
// runs where the library or one of its functions is missing (each call then does nothing and
// reports failure), and the check whether this process draws with visual styles at all.
#pragma once

#include <windows.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <memory>
#include <string>
#include <type_traits>

namespace Themes {

bool IsThemeActive();
bool IsAppThemed();
// nullptr when the theme has none of the classes (or there is no theme).
HTHEME OpenThemeData(HWND window, const std::string& classList);
void CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect,
                            const RECT* clip = nullptr);
// Paints what the window's parent shows under `rect` (the whole window when nullptr), in the
// window's client coordinates.
HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect = nullptr);
// `flags` are DrawText's DT_ flags.
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const std::string& text, DWORD flags,
                      const RECT& rect);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind, SIZE& size);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT& bounds,
                                      RECT& content);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF& color);
bool IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);

struct TThemeDataCloser {
  void operator()(HTHEME theme) const { CloseThemeData(theme); }
};
// Theme data that is closed when its holder goes.
using TThemeData = std::unique_ptr<std::remove_pointer_t<HTHEME>, TThemeDataCloser>;
inline TThemeData OpenTheme(HWND window, const std::string& classList) {
  return TThemeData(OpenThemeData(window, classList));
}

}  // namespace Themes

// Whether controls draw with visual styles: as the system says, or forced on or off for the
// whole process (tests reach each control's classic look this way on a themed system).
enum class TVisualStyles { vsSystem, vsOn, vsOff };
void SetVisualStyles(TVisualStyles styles);
TVisualStyles VisualStyles();

// Visual styles are in use: forced on, or (as the system says) a theme is active, it applies
// to this program, and the program's manifest has it use version 6 of the common controls.
bool ThemeServicesEnabled();
