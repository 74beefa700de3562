#include "app/BenchReport.h"

#include <cmath>
#include <string_view>

#include "app/GameCommandLine.h"
#include "app/GameFiles.h"
#include "resources/ResourceIds.h"
#include "platform/SysUtils.h"

const char* const kMakerWebAddress = "www.nemorix.com";

bool CheckDemoLogFinished(TBenchEngine& bench) {
  TBenchRunState& state = bench.State;
  const std::string log = DemoLogFileName(bench);
  const std::string finished = "!TimeDemo Run " + state.RunCountText + " Finished.";
  state.Success = false;
  if (FileExists(log)) {
    state.LogList.LoadFromFile(log);
    state.Success = state.LogList.IndexOf(finished) >= 0;
    state.LogProblem = state.Success ? std::string() : ResMessage(IDS_LOG_UNFINISHED, log, finished);
  } else {
    state.LogProblem = ResMessage(IDS_LOG_MISSING, log);
  }
  return state.Success;
}

std::string HtmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

namespace {

// What a URL path may hold as it is; everything else is percent-encoded.
bool UrlSafe(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-._~!$&'()*+,;=:@/").find(static_cast<char>(c)) !=
         std::string_view::npos;
}

}  // namespace

std::string FileUrl(const std::string& path) {
  std::string rest = StringReplace(path, "\\", "/", {rfReplaceAll});
  std::string url = "file://";
  if (rest.compare(0, 2, "//") == 0)
    rest.erase(0, 2);  // a network path: its server is the URL's host
  else
    url += '/';  // a drive path: no host
  static const char hex[] = "0123456789ABCDEF";
  for (char ch : WideToCodePage(AnsiToWide(rest), CP_UTF8)) {
    const auto c = static_cast<unsigned char>(ch);
    if (UrlSafe(c)) {
      url += ch;
    } else {
      url += '%';
      url += hex[c >> 4];
      url += hex[c & 15];
    }
  }
  return url;
}

std::string CharsetName(UINT codePage) {
  if (codePage >= 1250 && codePage <= 1258) return "windows-" + IntToStr(static_cast<int>(codePage));
  switch (codePage) {
    case 874: return "windows-874";
    case 932: return "shift_jis";
    case 936: return "gbk";
    case 949: return "euc-kr";
    case 950: return "big5";
    case CP_UTF8: return "utf-8";
    default: return "";
  }
}

void WriteReportHeader(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TStringList& report = bench.State.Report;
  report.Clear();
  report.Add("<html>");
  report.Add("<head>");
  // Undeclared, the browser would guess, and letters outside ASCII would come out as others.
  const std::string charset = CharsetName(GetACP());
  if (!charset.empty())
    report.Add("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset + "\">");
  report.Add(std::string("<title>Quenmar Benchmark - ") + kMakerWebAddress + "</title>");
  report.Add("<style type=\"text/css\">");
  report.Add("<!--");
  report.Add(".style4 {");
  report.Add("\tcolor: #0066FF;");
  report.Add("\tfont-weight: bold;");
  report.Add("}");
  report.Add(".style5 {color: #990000}");
  report.Add("-->");
  report.Add("</style>");
  report.Add("</head>");
  report.Add("<body>");
  // A URL: a drive path is none ("C:" would be read as a scheme).
  report.Add("<p align=\"center\"><img src=\"" + HtmlEscape(FileUrl(choices.ProgramFolder + "logo1.jpg")) +
             "\" width=\"197\" height=\"80\"></p><br>");
  report.Add("   The benchmark started at " + bench.State.StartText + "<br>");
  if (choices.AddAdditionalInfo) {
    const THardwareDescription& hw = choices.Hardware;
    if (!hw.OS.empty()) report.Add("<p align=\"left\" class=\"style4\">System</p>");
    for (const std::string* value : {&hw.OS, &hw.CPU, &hw.Memory, &hw.VGA, &hw.VGAMemory,
                                     &hw.VGADriver}) {
      if (!value->empty()) report.Add("   <FONT size=2>" + HtmlEscape(*value) + "</FONT><br>");
    }
    if (!hw.DirectX.empty())
      report.Add("   <FONT size=2>" + HtmlEscape(hw.DirectX) + "</FONT><br><br>");
  }
  if (!choices.Note.empty()) report.Add("   Comment: " + HtmlEscape(choices.Note) + "<br>");
  report.Add("<hr>");
}

namespace {

// What follows the first `c`; the whole text when there is none.
std::string After(const std::string& text, char c) {
  size_t at = text.find(c);
  return at == std::string::npos ? text : text.substr(at + 1);
}

std::string ReplaceFirst(const std::string& text, char from, char to) {
  std::string out = text;
  size_t at = out.find(from);
  if (at != std::string::npos) out[at] = to;
  return out;
}

char ReportSeparator(const std::string& decimalBox) { return decimalBox == "," ? ',' : '.'; }

}  // namespace

std::string ScoreText(const std::string& logLine) { return After(After(logLine, ','), ':'); }

std::string ScoreToLocaleSeparator(const std::string& score, char localeSeparator) {
  return localeSeparator != ',' ? ReplaceFirst(score, ',', '.') : ReplaceFirst(score, '.', ',');
}

std::string ScoreToReportSeparator(const std::string& score, const std::string& decimalBox) {
  return decimalBox == "," ? ReplaceFirst(score, '.', ',') : ReplaceFirst(score, ',', '.');
}

std::string CutAverage(float average, const std::string& decimalBox) {
  // Every digit of the 15-digit form, however far after the point it stands (the smallest
  // float is about 1.4E-45); trailing zeros are left out, as the shortest form leaves them.
  static const std::string plain = "0." + std::string(60, '#');
  std::string text =
      ScoreToReportSeparator(FormatFloat(plain, static_cast<double>(average)), decimalBox);
  size_t at = text.find(ReportSeparator(decimalBox));
  if (at == std::string::npos) return text;
  return text.substr(0, at + 3);
}

namespace {

const char* const kPixelShaderLines[] = {"Pixel shader: default model<br>",
                                        "Pixel shader: model 2.0b<br>",
                                        "Pixel shader: model 3.0<br>"};

void AddPixelShaderLine(const TBenchChoices& choices, TStrings& lines) {
  if (choices.ShaderModel >= 0 && choices.ShaderModel <= 2)
    lines.Add(kPixelShaderLines[choices.ShaderModel]);
}

void AddSettingsLines(const TBenchChoices& choices, TStrings& lines) {
  std::string aa = AABoxText(choices.AALevel);
  lines.Add("Antialising: " + aa + (aa != "None" ? "&times;" : "") + "<br>");
  lines.Add("Anisotrophic filtering: " + AFBoxText(choices.AFLevel) + "&times;<br>");
  lines.Add(choices.HDR ? "HDR: level " + choices.HDRLevel + "<br>" : "HDR: disabled<br>");
  lines.Add(choices.GeometryInstancing ? "Geometry Instancing: enabled<br>"
                                       : "Geometry Instancing: disabled<br>");
  lines.Add(choices.NormalMapsCompression ? "Normal-maps compression: enabled<br><br>"
                                          : "Normal-maps compression: disabled<br><br>");
}

// The log's scores, one block of five lines per run, read from the front of the log list.
class TScoreReader {
 public:
  TScoreReader(TStringList& log, const std::string& fileName) : log_(log), fileName_(fileName) {}

  // The next run's score as the log writes it; its value goes to `value`.
  std::string Next(int run, double& value) {
    if (log_.Count() == 0)
      throw EListError(Format("The time-demo log \"%s\" ends before the score of run %d.",
                              fileName_.c_str(), run));
    std::string score = ScoreText(log_.Strings(0));
    if (!TryStrToFloat(ScoreToLocaleSeparator(score, FormatSettings.DecimalSeparator), value))
      throw EConvertError(
          Format("The score \"%s\" of run %d in the time-demo log \"%s\" is not a number.",
                 score.c_str(), run, fileName_.c_str()));
    // The average is summed in 32 bits; a rate beyond them would make it infinite.
    if (value < 0 || !std::isfinite(static_cast<float>(value)))
      throw EConvertError(
          Format("The score \"%s\" of run %d in the time-demo log \"%s\" is not a frame rate.",
                 score.c_str(), run, fileName_.c_str()));
    return score;
  }

  // A sum of rates that each fit in 32 bits may still not.
  void CheckSum(float sum) const {
    if (!std::isfinite(sum))
      throw EConvertError(Format("The scores in the time-demo log \"%s\" are too large to average.",
                                 fileName_.c_str()));
  }

  void Skip(int lines) {
    for (int i = 0; i < lines && log_.Count() > 0; ++i) log_.Delete(0);
  }

 private:
  TStringList& log_;
  const std::string& fileName_;
};

}  // namespace

namespace {

std::string SectionHeading(const TBenchRunState& state) {
  return "<BR><B><FONT size=5>Resolution: " + ResolutionSizeHtml(state.CurrentResolution) +
         "</FONT></B><BR>";
}

const char* const kSectionEnd = "<br><HR>";

}  // namespace

void AddReportSection(TBenchEngine& bench) {
  const TBenchChoices& choices = bench.Choices;
  TBenchRunState& state = bench.State;
  const std::string log = DemoLogFileName(bench);
  if (!FileExists(log)) return;
  // The section is built aside and goes into the report only when it is complete.
  TStringList section;
  section.Add(SectionHeading(state));
  state.LogList.LoadFromFile(log);
  TScoreReader scores(state.LogList, log);
  scores.Skip(3);
  std::string mapText = state.MapFolder.empty()
                            ? std::string()
                            : state.MapFolder.substr(0, state.MapFolder.size() - 1);
  section.Add(state.QualityText + ", " + state.RendererName + " renderer<br>");
  section.Add("Level: " + HtmlEscape(mapText) + ", demo: " + HtmlEscape(state.DemoName) +
              ".tmd<br>");
  const std::string& dec = choices.DecimalSeparator;
  double value = 0;
  if (state.RunCountText != "0") {
    int runs = StrToInt(state.RunCountText) + 1;
    AddPixelShaderLine(choices, section);
    AddSettingsLines(choices, section);
    float sum = 0;
    for (int n = 1; n <= runs; ++n) {
      std::string score = scores.Next(n, value);
      sum = static_cast<float>(sum + value);
      scores.CheckSum(sum);
      scores.Skip(5);
      section.Add("<span class=\"style5\">Score = " + ScoreToReportSeparator(score, dec) +
                  " FPS (Run " + IntToStr(n) + ")</span><br>");
    }
    float average = static_cast<float>(sum / runs);
    section.Add("<span class=\"style5\"><b>Average score = " + CutAverage(average, dec) +
                " FPS</b></span><br>");
  } else {
    std::string score = scores.Next(1, value);
    if (choices.Renderer == 0) AddPixelShaderLine(choices, section);
    AddSettingsLines(choices, section);
    section.Add("<span class=\"style5\">Score = " + ScoreToReportSeparator(score, dec) +
                " FPS</span><br>");
  }
  section.Add(kSectionEnd);
  state.Report.AddStrings(&section);
  ++state.MeasuredSections;
}

void AddFailedReportSection(TBenchEngine& bench, const std::string& problem) {
  TStringList& report = bench.State.Report;
  report.Add(SectionHeading(bench.State));
  report.Add("<span class=\"style5\">" + HtmlEscape(problem) + "</span><br>");
  report.Add(kSectionEnd);
}

namespace {

// The folders a report may be saved in, in turn: the chosen one, the game's "Benchmark\"
// folder and the user's temporary folder, each once.
std::vector<std::string> ReportFolders(const TBenchEngine& bench) {
  std::vector<std::string> folders = {ExtractFilePath(ReportFileName(bench)),
                                      bench.Choices.GameRoot + "Benchmark\\"};
  char temp[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length > 0 && length < sizeof temp) folders.push_back(IncludeTrailingBackslash(temp));
  std::vector<std::string> once;
  for (const std::string& folder : folders) {
    bool seen = false;
    for (const std::string& earlier : once) seen = seen || SameText(earlier, folder);
    if (!seen) once.push_back(folder);
  }
  return once;
}

}  // namespace

TReportSave FinishReport(TBenchEngine& bench) {
  TStringList& report = bench.State.Report;
  report.Add("<P></P>");
  report.Add("<p align=\"center\"><FONT size=2>Quenmar Benchmark by Nemorix</FONT><br>");
  report.Add("");
  report.Add(std::string("<FONT size=2><a href=\"http://") + kMakerWebAddress + "\">" +
             kMakerWebAddress + "</a></FONT></p>");
  report.Add("</BODY></HTML>");
  const std::string bytes = report.Text();
  const std::string name = ExtractFileName(ReportFileName(bench));
  TReportSave save;
  for (const std::string& folder : ReportFolders(bench)) {
    try {
      ForceDirectories(folder);  // when it cannot be made, the write says why
      ReplaceFileContents(folder + name, bytes);
      save.FileName = folder + name;
      break;
    } catch (const Exception& e) {
      save.Failures.push_back(ResMessage(IDS_REPORT_FOLDER_FAILED, folder, e.Message()));
    }
  }
  bench.Pause(500);
  return save;
}

std::string ReportFileName(const TBenchEngine& bench) {
  const std::string name = "result_" + bench.State.TimeText + "_.htm";
  if (!bench.Choices.ResultsFolder.empty()) return bench.Choices.ResultsFolder + name;
  return bench.Choices.GameRoot + "Benchmark\\" + name;
}
