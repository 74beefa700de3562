// The main window's part in finding the game: the automatic search of the fixed drives, the
// manual choice, the build and the options it allows, DirectX, and the map and demo lists.
#include "app/RIRered.h"

#include "controls/FcButton.h"
#include "controls/FcCmboBx.h"
#include "controls/FcEdit.h"
#include "controls/FcPages.h"
#include "controls/FcRadGrp.h"
#include "controls/FcStatus.h"
#include "platform/StartupTrace.h"
#include "platform/StdCtrls.h"
#include "services/FindFile.h"

// ---- The game --------------------------------------------------------------------------------

void TForm1::FcToolButton4Click(TObject*) {
  FcStatusPane1->SetCaption(kSearchingStatus);
  QMPathEdit->SetText(std::string());
  VersionLabel->SetCaption(kEmptyVersionLabel);
  TTemporaryCursor hourglass(crHourGlass);
  Repaint();

  if (FixedDriveList.empty()) FixedDriveList = ::FixedDriveList();
  // The last game the walk meets wins, as with several copies on several drives.
  const std::string found = SearchGame(*FindFile1, FixedDriveList);
  if (!found.empty()) FoundPath = found;
  // A game found by an earlier search still counts, while it is there: it is set again, since
  // a file chosen by hand since may have left the window with another game or none.
  const TGameFolders game = InstalledGameFolders(FoundPath);
  if (game.Known()) {
    SetGame(game);
    settings_->WriteValue("Path", FoundPath);
    LangBox->SetReadOnly(false);
    ReadBuild(bcFind);
    ShowDirectX();
    FcStatusPane1->SetCaption(FoundStatus(GameBuild));
    BenchButton->SetEnabled(true);
    QMPathEdit->SetText(FoundPath);
    FillMapList();
  } else {
    FcStatusPane1->SetCaption(kNotFoundStatus);
  }
}

void TForm1::findmanClick(TObject*) {
  std::string fileName;
  if (ChooseFile("Quenmar (Quenmar.exe)|QUENMAR.EXE", QMPathEdit->Text(), fileName))
    GameChosen(fileName);
}

void TForm1::GameChosen(const std::string& fileName) {
  QMPathEdit->SetText(fileName);
  settings_->WriteValue("Path", fileName);
  if (!fileName.empty()) {
    // Only an installed game gives folders to work in; any other file leaves none.
    const TGameFolders game = InstalledGameFolders(fileName);
    SetGame(game);
    FillMapList();
    if (game.Known()) {
      LangBox->SetReadOnly(false);
      ReadBuild(bcFind);
      FcStatusPane1->SetCaption(FoundStatus(GameBuild));
    } else {
      FcStatusPane1->SetCaption(kNotFoundStatus);
    }
  }
  if (GameFolders().Known())
    ApplyBuildRules(bcFind);
  else
    TabSheet8->SetTabEnabled(false);
  ShowDirectX();
  BenchButton->SetEnabled(GameFolders().Known());
}

void TForm1::ReadBuild(TBuildCheck check) {
  ReadGameBuild(*FcVersionInfo, game_.ExeFolder, GameBuild);
  ApplyBuildRules(check);
}

void TForm1::ApplyBuildRules(TBuildCheck check) {
  const int detail = DetailBox->ItemIndex();
  const TBuildRules rules =
      BuildRules(GameBuild.Build, check, detail == kUltraDetailItem || detail == kMaximumDetailItem);
  VersionLabel->SetCaption(rules.VersionLabel);
  PShader->SetButtonEnabled(kShaderModel2Item, rules.ShaderModelsEnabled);
  PShader->SetButtonEnabled(kShaderModel3Item, rules.ShaderModelsEnabled);
  if (rules.ShaderModelsEnabled) {
    const int stored = ItemOfCode(csPS, settings_->ReadValue("PS"));
    if (stored >= 0) PShader->SetItemIndex(stored);
  } else {
    PShader->SetItemIndex(kDefaultShaderItem);
  }
  TabSheet8->SetTabEnabled(rules.SpecificPage);
}

void TForm1::ShowDirectX() { dxv->SetCaption(DirectXLabel(DirectX9cAvailable())); }

// ---- Maps and demos --------------------------------------------------------------------------

void TForm1::FillMapList() {
  mapnamebox->Items()->Clear();
  const std::vector<std::string> maps = ListMaps(game_.GameRoot);
  for (const std::string& map : maps) mapnamebox->Items()->Add(map);
  const int item = StoredMapItem(maps, settings_->ReadValue("Mapname"));
  if (item >= 0) mapnamebox->SetItemIndex(item);
  TraceStartup("maps");
  FillDemoList();
  TraceStartup("demos");
}

void TForm1::FillDemoList() {
  demonamebox->Items()->Clear();
  const std::vector<std::string> demos = ListDemos(*Findqmdemo, game_.GameRoot, mapnamebox->Text());
  for (const std::string& name : demos) demonamebox->Items()->Add(name);
  if (demos.empty())
    demonamebox->SetTextWithoutCompletion(kNoDemosText);
  else
    demonamebox->SetItemIndex(0);
}

void TForm1::mapnameboxChange(TObject*) { FillDemoList(); }

void TForm1::FcToolButton3Click(TObject*) {
  if (mapnamebox->Text().empty()) {
    ShowMessageBox(kFindQuenmarFirstMessage);
    return;
  }
  // The demo chosen now, when it is one of the map's files.
  const std::string map = mapnamebox->Text(), demoFile = demonamebox->Text();
  const std::string current = StoredDemoPresent(game_.GameRoot, map, demoFile)
                                  ? game_.GameRoot + "Levels\\" + map + "\\" + demoFile
                                  : std::string();
  std::string fileName;
  if (ChooseFile("Quenmar demo files (*.tmd)|*.TMD", current, fileName)) DemoChosen(fileName);
}

void TForm1::DemoChosen(const std::string& fileName) {
  const TImportResult result = ImportDemo(*FileOp, fileName, game_.GameRoot, mapnamebox->Text());
  FillDemoList();
  ShowMessageBox(result.Message);
}
