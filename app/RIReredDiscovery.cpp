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
  FcStatusPane1->SetCaption(SearchingStatus);
  QMPathEdit->SetText(std::string());
  VersionLabel->SetCaption(EmptyVersionLabel);
  TTemporaryCursor hourglass(crHourGlass);
  Repaint();

  if (FixedDriveList.empty()) FixedDriveList = ::FixedDriveList();
  // The last game the walk meets wins, as with several copies on several drives.
  const std::string found = SearchGame(*FindFile1, FixedDriveList);
  if (!found.empty()) {
    FoundName = ExtractFileName(found);
    SetGame(GameFoldersFromPath(found));
    settings_->WriteValue("Path", found);
    LangBox->SetReadOnly(false);
    ReadBuild(bcFind);
    ShowDirectX();
  }
  // A game found by an earlier search still counts.
  if (!FoundName.empty()) {
    FcStatusPane1->SetCaption(FoundStatus(GameBuild));
    BenchButton->SetEnabled(true);
    QMPathEdit->SetText(ExeFolder + FoundName);
    FillMapList();
  } else {
    FcStatusPane1->SetCaption(NotFoundStatus);
  }
}

void TForm1::findmanClick(TObject*) {
  std::string fileName;
  if (ChooseFile("Quenmar (Quenmar.exe)|QUENMAR.EXE", fileName)) GameChosen(fileName);
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
      FcStatusPane1->SetCaption(NotFoundStatus);
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
  ReadGameBuild(*FcVersionInfo, ExeFolder, GameBuild);
  ApplyBuildRules(check);
}

void TForm1::ApplyBuildRules(TBuildCheck check) {
  const int detail = DetailBox->ItemIndex();
  const TBuildRules rules = BuildRules(GameBuild.Build, check, detail == 0 || detail == 1);
  VersionLabel->SetCaption(rules.VersionLabel);
  PShader->SetButtonEnabled(1, rules.ShaderModelsEnabled);
  PShader->SetButtonEnabled(2, rules.ShaderModelsEnabled);
  if (rules.ShaderModelsEnabled) {
    const int stored = ItemOfCode(csPS, settings_->ReadValue("PS"));
    if (stored >= 0) PShader->SetItemIndex(stored);
  } else {
    PShader->SetItemIndex(0);
  }
  TabSheet8->SetTabEnabled(rules.SpecificPage);
}

void TForm1::ShowDirectX() { dxv->SetCaption(DirectXLabel(DirectX9cAvailable())); }

// ---- Maps and demos --------------------------------------------------------------------------

void TForm1::FillMapList() {
  mapnamebox->Items()->Clear();
  const std::vector<std::string> maps = ListMaps(GameRoot);
  for (const std::string& map : maps) mapnamebox->Items()->Add(map);
  const int item = StoredMapItem(maps, settings_->ReadValue("Mapname"));
  if (item >= 0) mapnamebox->SetItemIndex(item);
  TraceStartup("maps");
  FillDemoList();
  TraceStartup("demos");
}

void TForm1::FillDemoList() {
  demonamebox->Items()->Clear();
  const std::vector<std::string> demos = ListDemos(*Findqmdemo, GameRoot, mapnamebox->Text());
  for (const std::string& name : demos) demonamebox->Items()->Add(name);
  if (demos.empty())
    demonamebox->SetTextWithoutCompletion(NoDemosText);
  else
    demonamebox->SetItemIndex(0);
}

void TForm1::mapnameboxChange(TObject*) { FillDemoList(); }

void TForm1::FcToolButton3Click(TObject*) {
  if (mapnamebox->Text().empty()) {
    ShowMessageBox(FindQuenmarFirstMessage);
    return;
  }
  std::string fileName;
  if (ChooseFile("Quenmar demo files (*.tmd)|*.TMD", fileName)) DemoChosen(fileName);
}

void TForm1::DemoChosen(const std::string& fileName) {
  const TImportResult result = ImportDemo(*FileOp, fileName, GameRoot, mapnamebox->Text());
  FillDemoList();
  ShowMessageBox(result.Message);
}
