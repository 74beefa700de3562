// Reads everything a shell shortcut (.lnk) holds: target, arguments, folder, icon, hot key
// and how the target's window is shown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/Forms.h"  // TWindowState

// A key with its modifiers: the virtual key in the low byte, Shift 0x2000, Ctrl 0x4000,
// Alt 0x8000.
using TShortCut = std::uint16_t;

struct TShortcutDetails {
  std::string Arguments;
  std::string Description;
  TShortCut HotKey = 0;
  std::string IconLocation;
  int IconIndex = 0;
  std::string Path;  // as stored: environment strings are not expanded
  TWindowState ShowCmd = wsNormal;
  std::string WorkingDirectory;
};

// Fills `details` from the shortcut file. Raises Exception "Error opening Shortcut." when
// the shell's link object cannot be made or cannot load the file; `details` is then cleared.
void ReadShortcutDetails(const std::string& fileName, TShortcutDetails& details);

// SW_SHOWMINIMIZED, SW_MINIMIZE and SW_SHOWMINNOACTIVE give wsMinimized; SW_SHOWMAXIMIZED
// and SW_SHOWDEFAULT give wsMaximized; anything else wsNormal.
TWindowState ShowCmdToWindowState(int showCmd);

// A link's hot-key word (key in the low byte, HOTKEYF_ modifiers in the high byte) as a
// TShortCut; modifiers beyond Shift, Ctrl and Alt are dropped.
TShortCut HotKeyToShortCut(WORD hotKey);
