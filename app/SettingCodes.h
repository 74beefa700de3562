// The settings' code strings and the plain record of the choices that the main window restores
// at its start and writes back at its close; pure, so that every stored value can be checked.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/BenchEngine.h"

// The lists whose items are stored as small codes.
enum TCodedSetting {
  csDemo,      // "Demo" (`demo`): "1".."11" the stock demos, "12" the user-defined demo
  csDetail,    // "Detail" (`DetailBox`): "1".."4"
  csPS,        // "PS" (`PShader`): "1".."3"
  csRenderer,  // "Renderer" (`RendererBox`): "1" Direct3D, "2" OpenGL
  csAFLevel,   // "AFLevel" (`AFBox`): "1".."5" for 1, 2, 4, 8, 16; "Sys" From System
  csAALevel,   // "AALevel" (`AABox`): "1" None, "2", "4", "6", "8", "Sys" From System
  csTRun,      // "TRun" (`RunNumberBox`): "1".."5", the item's own text
  csLanguage,  // "Language" (`LangBox`): "0" Select language .. "7" Polish, "8" Russian
};

// The item a stored code stands for; -1 for any text the list has no code for.
int ItemOfCode(TCodedSetting setting, const std::string& code);
// The code stored for an item; "" for an index outside the list (nothing is selected).
std::string CodeOfItem(TCodedSetting setting, int item);

// Rules for the stored texts. A value that breaks its rule is garbage (another program, an
// older release or a hand edit), and the control it belongs to keeps its layout state.
// A full path of a file: a drive or network root, at most MAX_PATH - 1 characters, no
// control characters and none of <>"|?*.
bool IsFilePathText(const std::string& text);
// A full path of a folder by the same rules, ending with "\" as every folder of the program.
bool IsFolderText(const std::string& text);
// One name inside a folder (a map folder, a demo file): no path parts, no "." or "..".
bool IsPlainName(const std::string& text);
// One line of text of at most maxLength characters, without control characters.
bool IsLineText(const std::string& text, size_t maxLength);
// A whole number written in plain digits that lies in [min, max]; nothing otherwise.
std::optional<int> WholeNumberIn(const std::string& text, int min, int max);

// The longest benchmark note (`NoteEdit`) and description line the settings hold.
constexpr size_t kNoteMaxLength = 60;
constexpr size_t kDescriptionLineMaxLength = 255;

// The choices of the main window as the settings key holds them, decoded: what `FormCreate`
// restores into the controls and `FormClose` writes back. A field left at its default means
// "nothing usable stored": the control keeps its layout state, so no handler runs for it.
// Item indexes count from 0, as the controls do.
struct TStoredSettings {
  std::string Path;          // "Path": the game's executable (`QMPathEdit`)
  std::string CustomConfig;  // "CustomConfig" (`DetailEdit`): read here, written when chosen
  bool Resolution[kResolutionCount] = {};  // "640", "800", "1024", "1280", "1600" (`res`)
  int Demo = -1;                          // "Demo" (`demo`)
  int DetailLevel = -1;                   // "Detail" (`DetailBox`)
  int ShaderModel = -1;                   // "PS" (`PShader`), applied by the build rules
  int Renderer = -1;                      // "Renderer" (`RendererBox`)
  int AFLevel = -1;                       // "AFLevel" (`AFBox`)
  int AALevel = -1;                       // "AALevel" (`AABox`)
  int RunNumber = -1;                     // "TRun" (`RunNumberBox`)
  std::string ResultsFolder;              // "ResoultPath" (`ResEdit`)
  std::string DecimalSeparator;           // "Decimal" (`DecBox`): "." or ","
  std::string Note;                       // "Note" (`NoteEdit`)
  std::string MapName;                    // "Mapname" (`mapnamebox`), applied by the map list
  std::string DemoFileName;               // "Demoname" (`demonamebox`)
  std::optional<int> Wait;                // "Wait" (`waits`): 1..10 seconds
  std::string ScreenshotFolder;           // "ScrPath" (`ScrsaveFold`)
  bool HDR = false;                       // "HDR" (`hdrbox`)
  std::optional<int> HDRLevel;            // "HDRLevel" (`HDRLevelBox`): 1..11
  bool GeometryInstancing = false;        // "GI" (`GIBox`)
  bool NormalMapsCompression = false;     // "NormalMaps" (`CompRessBox`)
  int Language = -1;                      // "Language" (`LangBox`)
  // "Addinfo" (`AddInfoBox`) and "AddScInf" (`AddInfo`): on unless stored "0", so a first
  // start checks them (and the additional-information check then explains itself).
  bool AddAdditionalInfo = true;
  bool AddDisplayInfo = true;

  bool operator==(const TStoredSettings&) const = default;
};

using TValueReader = std::function<std::string(const std::string& name)>;
using TValueWriter = std::function<void(const std::string& name, const std::string& value)>;

// Every value of the record read by name ("" for a missing one) and decoded by its rule.
TStoredSettings DecodeSettings(const TValueReader& read);
// The values `FormClose` writes, in its order: the texts as they are, "1"/"0" for the flags,
// the codes only for items that have one (a list without a selection keeps its stored
// value); "Addinfo" is "1" only when the box is checked and an "OS" is stored. "CustomConfig"
// is not among them, nor an empty "Path": no game found this time (a disk not plugged in, a
// search that found none) keeps the stored one, and a game the user chose was stored at once.
void EncodeSettings(const TStoredSettings& settings, bool hasStoredOS, const TValueWriter& write);

// The stored hardware description ("OS" .. "VGA Driver", and "DirectX" for the report);
// a line that breaks IsLineText(kDescriptionLineMaxLength) reads as empty.
THardwareDescription DecodeHardwareDescription(const TValueReader& read);

// The system's decimal separator, one character, as "Decimal" stores it at a first start.
std::string SystemDecimalSeparator();
// The separator the report gets from the separator box's text: the text when it is "." or
// ","; any other the stored separator when that is one of them, else ".".
std::string KeptDecimalSeparator(const std::string& text, const std::string& stored);
