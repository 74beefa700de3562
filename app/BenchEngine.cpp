#include "app/BenchEngine.h"

#include <shellapi.h>

#include "app/ConfigTemplates.h"
#include "app/GameFolders.h"
#include "platform/Registry.h"
#include "services/SvSHFileOperation.h"

const char* const kSettingsKey = "\\SOFTWARE\\Nemorix\\RIRered";

const TResolution kResolutions[kResolutionCount] = {
    {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};

std::string ResolutionSize(int resolution) {
  const TResolution& r = kResolutions[resolution];
  return IntToStr(r.Width) + "\xD7" + IntToStr(r.Height);
}

std::string ResolutionSizeHtml(int resolution) {
  const TResolution& r = kResolutions[resolution];
  return IntToStr(r.Width) + "&times;" + IntToStr(r.Height);
}

namespace {

template <size_t N>
std::string ItemText(const char* const (&items)[N], int index) {
  return index >= 0 && index < static_cast<int>(N) ? items[index] : "";
}

}  // namespace

std::string AFBoxText(int index) {
  static const char* const items[] = {"1", "2", "4", "8", "16", "From System"};
  return ItemText(items, index);
}

std::string AABoxText(int index) {
  static const char* const items[] = {"None", "2", "4", "6", "8", "From System"};
  return ItemText(items, index);
}

std::string RendererBoxText(int index) {
  static const char* const items[] = {"Direct3D", "OpenGL"};
  return ItemText(items, index);
}

TBenchEngine::TBenchEngine() {
  LoadConfigTemplate(ctUltra, UltraSet);
  LoadConfigTemplate(ctMaximum, MaxSet);
  LoadConfigTemplate(ctMinimum, MinSet);
}

void TBenchEngine::Pause(DWORD milliseconds) const {
  if (Sleeper)
    Sleeper(milliseconds);
  else
    ::Sleep(milliseconds);
}

void TBenchEngine::ShowStatus(const std::string& text) const {
  if (View) View->ShowStatus(text);
}

void TBenchEngine::Repaint() const {
  if (View) View->Repaint();
}

void TBenchEngine::ShowMessage(const std::string& text) const {
  if (View) View->ShowMessage(text);
}

void TBenchEngine::SetAbortPanelVisible(bool visible) const {
  if (View) View->SetAbortPanelVisible(visible);
}

void TBenchEngine::RepaintAbortPanel() const {
  if (View) View->RepaintAbortPanel();
}

void TBenchEngine::SetBenchButtonEnabled(bool enabled) const {
  if (View) View->SetBenchButtonEnabled(enabled);
}

void TBenchEngine::OpenReport(const std::string& fileName) const {
  if (View) View->OpenReport(fileName);
}

void TBenchEngine::WriteSetting(const std::string& name, const std::string& value) const {
  if (!Registry) throw Exception("The benchmark has no settings key");
  Registry->WriteString(name, value);
}

std::string TBenchEngine::ReadSetting(const std::string& name) const {
  if (!Registry) throw Exception("The benchmark has no settings key");
  return Registry->ReadString(name);
}

void IBenchView::OpenReport(const std::string& fileName) {
  ShellExecuteA(nullptr, "open", fileName.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

TSvSHFileOperation& TBenchEngine::FileOperation() const {
  if (!FileOp) throw Exception("The benchmark has no file operation component");
  return *FileOp;
}

bool TBenchEngine::ShellCopy(const std::string& source, const std::string& dest) const {
  return ShellFileOperation(FileOperation(), foCopy, source, dest);
}

bool TBenchEngine::ShellMove(const std::string& source, const std::string& dest) const {
  return ShellFileOperation(FileOperation(), foMove, source, dest);
}
