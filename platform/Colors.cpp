#include "platform/Colors.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct NamedColor {
  TColor color;
  const char* name;
};

constexpr NamedColor kNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"}, {clMenuBar, "clMenuBar"}, {clNone, "clNone"},
    {clDefault, "clDefault"},
};

}  // namespace

COLORREF ColorToRGB(TColor color) {
  auto u = static_cast<std::uint32_t>(color);
  if ((u & 0xFF000000u) == 0xFF000000u) return GetSysColor(static_cast<int>(u & 0xFF));
  return u & 0x00FFFFFFu;
}

bool IdentToColor(const std::string& ident, TColor& color) {
  for (const auto& n : kNames)
    if (_stricmp(n.name, ident.c_str()) == 0) {
      color = n.color;
      return true;
    }
  return false;
}

std::string ColorToString(TColor color) {
  for (const auto& n : kNames)
    if (n.color == color) return n.name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%.8X", static_cast<unsigned>(color));
  return buf;
}

bool StringToColor(const std::string& text, TColor& color) {
  if (IdentToColor(text, color)) return true;
  const char* s = text.c_str();
  int base = 10;
  if (*s == '$') {
    ++s;
    base = 16;
  } else if (std::strncmp(s, "0x", 2) == 0 || std::strncmp(s, "0X", 2) == 0) {
    s += 2;
    base = 16;
  }
  if (!*s) return false;
  char* end = nullptr;
  long long v = std::strtoll(s, &end, base);
  if (*end || v < INT32_MIN || v > UINT32_MAX) return false;
  color = static_cast<TColor>(static_cast<std::uint32_t>(v));
  return true;
}
