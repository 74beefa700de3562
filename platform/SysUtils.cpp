// The runtime basics of SysUtils.h, in the header's order.
//
// Index: formatting, system error texts, resource strings, Abort and EOSError · files and
// folders (existence, rename, folders, the parts of a path, ReadFileContents) · text (code
// pages, case, comparison, trimming, Pos) · locale settings (FormatSettings from the user's
// locale) · numbers (integers, floats, FormatFloat's pictures) · dates and times (encoding and
// decoding, Now, FormatDateTime).

#include "platform/SysUtils.h"

#include <winnetwk.h>

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/Guards.h"

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

std::string SysErrorMessage(DWORD code) {
  char* buf = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                           nullptr, code, 0, reinterpret_cast<LPSTR>(&buf), 0, nullptr);
  std::string text;
  if (n > 0 && buf) text.assign(buf, n);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                           text.back() == '.'))
    text.pop_back();
  if (!text.empty()) text += '.';
  return text;
}

std::string LoadResString(UINT resourceId) {
  // LoadStringA cuts a long text to the buffer without saying so: a text that fills the
  // buffer is read again with a larger one. An entry holds at most 65535 characters.
  std::string text(256, '\0');
  for (;;) {
    int n = LoadStringA(GetModuleHandleA(nullptr), resourceId, text.data(), static_cast<int>(text.size()));
    if (n <= 0) return std::string();
    if (static_cast<size_t>(n) + 1 < text.size() || text.size() > 0x20000) {
      text.resize(static_cast<size_t>(n));
      return text;
    }
    text.resize(text.size() * 4);
  }
}

void Abort() { throw EAbort(); }

EOSError::EOSError(DWORD code)
    : Exception(code != 0 ? Format("System Error.  Code: %lu.\r\n%s", static_cast<unsigned long>(code),
                                   SysErrorMessage(code).c_str())
                          : std::string("A call to an OS function failed")),
      code_(code) {}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }
void RaiseLastOSError(DWORD code) { throw EOSError(code); }

// ---- Files and folders -------------------------------------------------------------------

namespace {

// Index of the last byte of s that is one of delims and not the second byte of a
// double-byte character; npos when there is none.
size_t LastDelimiter(const char* delims, const std::string& s) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < s.size();) {
    char c = s[i];
    if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < s.size()) {
      i += 2;
      continue;
    }
    for (const char* d = delims; *d; ++d)
      if (c == *d) last = i;
    ++i;
  }
  return last;
}

bool EndsWithBackslash(const std::string& s) {
  return !s.empty() && LastDelimiter("\\", s) == s.size() - 1;
}

}  // namespace

bool FileExists(const std::string& fileName) {
  DWORD attr = GetFileAttributesA(fileName.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& dir) {
  DWORD attr = GetFileAttributesA(dir.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteFile(const std::string& fileName) { return DeleteFileA(fileName.c_str()) != FALSE; }

bool RenameFile(const std::string& oldName, const std::string& newName) {
  return MoveFileA(oldName.c_str(), newName.c_str()) != FALSE;
}

bool CreateDir(const std::string& dir) { return CreateDirectoryA(dir.c_str(), nullptr) != FALSE; }

bool ForceDirectories(const std::string& dir) {
  if (dir.empty()) return false;
  std::string d = ExcludeTrailingBackslash(dir);
  // "\" or "C:\": a root is never created, only found.
  if (d.empty() || (d.size() == 2 && d[1] == ':')) return DirectoryExists(d + "\\");
  if (DirectoryExists(d)) return true;
  std::string parent = ExtractFilePath(d);
  if (!parent.empty() && parent.size() < d.size() && !ForceDirectories(parent)) return false;
  // Another process may have made it in the meantime; that is success too.
  return CreateDir(d) || DirectoryExists(d);
}

std::string GetCurrentDir() {
  DWORD size = GetCurrentDirectoryA(0, nullptr);
  if (size == 0) return std::string();
  std::string dir(size, '\0');
  DWORD n = GetCurrentDirectoryA(size, dir.data());
  dir.resize(n < size ? n : 0);
  return dir;
}

std::string ExtractFilePath(const std::string& fileName) {
  size_t i = LastDelimiter("\\:", fileName);
  return i == std::string::npos ? std::string() : fileName.substr(0, i + 1);
}

std::string ExtractFileDir(const std::string& fileName) {
  size_t i = LastDelimiter("\\:", fileName);
  if (i == std::string::npos) return std::string();
  if (i > 0 && fileName[i] == '\\' && fileName[i - 1] != '\\' && fileName[i - 1] != ':')
    return fileName.substr(0, i);
  return fileName.substr(0, i + 1);
}

std::string ExtractFileName(const std::string& fileName) {
  size_t i = LastDelimiter("\\:", fileName);
  return i == std::string::npos ? fileName : fileName.substr(i + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
  size_t i = LastDelimiter(".\\:", fileName);
  if (i == std::string::npos || fileName[i] != '.') return std::string();
  return fileName.substr(i);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
  size_t i = LastDelimiter(".\\:", fileName);
  if (i == std::string::npos || fileName[i] != '.') i = fileName.size();
  return fileName.substr(0, i) + extension;
}

std::string ExpandFileName(const std::string& fileName) {
  DWORD size = GetFullPathNameA(fileName.c_str(), 0, nullptr, nullptr);
  if (size == 0) return std::string();
  std::string full(size, '\0');
  DWORD n = GetFullPathNameA(fileName.c_str(), size, full.data(), nullptr);
  full.resize(n < size ? n : 0);
  return full;
}

std::string ExpandUNCFileName(const std::string& fileName) {
  std::string full = ExpandFileName(fileName);
  if (full.size() < 3 || full[1] != ':' || full[2] != '\\') return full;
  if (GetDriveTypeA(full.substr(0, 3).c_str()) != DRIVE_REMOTE) return full;
  // The answer is a UNIVERSAL_NAME_INFOA followed by the text it points to.
  std::vector<char> buffer(1024);
  DWORD size = static_cast<DWORD>(buffer.size());
  DWORD rc = WNetGetUniversalNameA(full.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
  if (rc == ERROR_MORE_DATA) {
    buffer.resize(size);
    rc = WNetGetUniversalNameA(full.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
  }
  if (rc != NO_ERROR) return full;
  const auto* info = reinterpret_cast<const UNIVERSAL_NAME_INFOA*>(buffer.data());
  return info->lpUniversalName ? std::string(info->lpUniversalName) : full;
}

std::string IncludeTrailingBackslash(const std::string& path) {
  return EndsWithBackslash(path) ? path : path + '\\';
}

std::string ExcludeTrailingBackslash(const std::string& path) {
  return EndsWithBackslash(path) ? path.substr(0, path.size() - 1) : path;
}

std::string ReadFileContents(const std::string& fileName) {
  THandleGuard file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    DWORD error = GetLastError();
    throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), SysErrorMessage(error).c_str()),
                      error);
  }
  auto readError = [&](DWORD error) {
    return EReadError(Format("Cannot read file \"%s\". %s", fileName.c_str(), SysErrorMessage(error).c_str()),
                      error);
  };
  // Past this a 32-bit process may not find the room in one piece; say so rather than fail
  // somewhere inside the allocator.
  constexpr LONGLONG kLargest = 0x40000000;
  std::string bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.Get(), &size)) {
    if (size.QuadPart >= kLargest) throw readError(ERROR_FILE_TOO_LARGE);
    bytes.reserve(static_cast<size_t>(size.QuadPart));
  }
  // In pieces until the end: a file written elsewhere may grow while it is read.
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) throw readError(GetLastError());
    if (read == 0) break;
    if (bytes.size() + read >= static_cast<size_t>(kLargest)) throw readError(ERROR_FILE_TOO_LARGE);
    bytes.append(buffer, read);
  }
  return bytes;
}

// ---- Text --------------------------------------------------------------------------------

std::wstring CodePageToWide(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
  return wide;
}

std::string WideToCodePage(const std::wstring& text, UINT codePage) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  int n = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::string WideToAnsi(const wchar_t* text) { return text ? WideToCodePage(text, CP_ACP) : std::string(); }

std::string AnsiUpperCase(const std::string& s) {
  std::string r = s;
  if (!r.empty()) CharUpperBuffA(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

std::string AnsiLowerCase(const std::string& s) {
  std::string r = s;
  if (!r.empty()) CharLowerBuffA(r.data(), static_cast<DWORD>(r.size()));
  return r;
}

namespace {

int LocaleCompare(DWORD flags, const std::string& a, const std::string& b) {
  int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()),
                         b.data(), static_cast<int>(b.size()));
  if (r != 0) return r - CSTR_EQUAL;
  // Only invalid arguments make the call fail; order by bytes then.
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

int AnsiCompareText(const std::string& a, const std::string& b) {
  return LocaleCompare(NORM_IGNORECASE, a, b);
}

int AnsiCompareStr(const std::string& a, const std::string& b) { return LocaleCompare(0, a, b); }

bool AnsiSameText(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = AsciiUpper(c);
  return r;
}

std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = AsciiLower(c);
  return r;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

std::string TrimLeft(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

std::string TrimRight(const std::string& s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return s.substr(0, n);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

std::string StringReplace(const std::string& s, const std::string& oldPattern,
                          const std::string& newPattern, TReplaceFlags flags) {
  if (oldPattern.empty()) return s;
  // Upper-casing keeps every byte in place, so positions in the searched copy hold for s.
  const bool ignoreCase = flags.Contains(rfIgnoreCase);
  const std::string searched = ignoreCase ? AnsiUpperCase(s) : s;
  const std::string pattern = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
  std::string result;
  size_t from = 0;
  while (true) {
    size_t at = searched.find(pattern, from);
    if (at == std::string::npos) break;
    result.append(s, from, at - from);
    result += newPattern;
    from = at + pattern.size();
    if (!flags.Contains(rfReplaceAll)) break;
  }
  result.append(s, from, std::string::npos);
  return result;
}

int Pos(const std::string& sub, const std::string& s) {
  if (sub.empty()) return 0;
  size_t at = s.find(sub);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

// ---- Locale settings ---------------------------------------------------------------------

namespace {

std::string LocaleString(LCTYPE type, const std::string& fallback) {
  char buf[256];
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof(buf));
  if (n <= 1) return fallback;
  return std::string(buf, static_cast<size_t>(n - 1));
}

char LocaleChar(LCTYPE type, char fallback) {
  std::string s = LocaleString(type, std::string());
  return s.empty() ? fallback : s[0];
}

// The locale writes its separators into its formats; ours stand for them as "/" and ":",
// so that changing a separator changes every text made from a format. A "/" or ":" that the
// locale means literally is quoted.
std::string TakeSeparator(const std::string& fmt, char sep, char placeholder) {
  std::string out;
  for (size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (c == '\'') {  // quoted text stays as it is
      size_t end = fmt.find('\'', i + 1);
      if (end == std::string::npos) end = fmt.size() - 1;
      out.append(fmt, i, end - i + 1);
      i = end;
    } else if (c == sep) {
      out += placeholder;
    } else if (c == placeholder) {
      out += '"';
      out += c;
      out += '"';
    } else {
      out += c;
    }
  }
  return out;
}

// The locale's time format marks the 12-hour clock with "tt" (or "t"); ours with AMPM
// (or A/P).
std::string TranslateTimeFormat(const std::string& fmt, char sep) {
  std::string withSep = TakeSeparator(fmt, sep, ':');
  std::string out;
  for (size_t i = 0; i < withSep.size(); ++i) {
    char c = withSep[i];
    if (c == '\'' || c == '"') {
      size_t end = withSep.find(c, i + 1);
      if (end == std::string::npos) end = withSep.size() - 1;
      out.append(withSep, i, end - i + 1);
      i = end;
    } else if (c == 't') {
      if (i + 1 < withSep.size() && withSep[i + 1] == 't') {
        out += "AMPM";
        ++i;
      } else {
        out += "A/P";
      }
    } else {
      out += c;
    }
  }
  return out;
}

TFormatSettings ReadLocaleSettings() {
  TFormatSettings fs;
  fs.DecimalSeparator = LocaleChar(LOCALE_SDECIMAL, '.');
  fs.ThousandSeparator = LocaleChar(LOCALE_STHOUSAND, ',');
  fs.DateSeparator = LocaleChar(LOCALE_SDATE, '/');
  fs.TimeSeparator = LocaleChar(LOCALE_STIME, ':');
  fs.ShortDateFormat =
      TakeSeparator(LocaleString(LOCALE_SSHORTDATE, "M/d/yyyy"), fs.DateSeparator, '/');
  fs.LongDateFormat =
      TakeSeparator(LocaleString(LOCALE_SLONGDATE, "dddd, MMMM d, yyyy"), fs.DateSeparator, '/');
  std::string timeFormat = LocaleString(LOCALE_STIMEFORMAT, "h:mm:ss tt");
  fs.LongTimeFormat = TranslateTimeFormat(timeFormat, fs.TimeSeparator);
  // The short time drops the seconds and the separator before them.
  std::string shortTime = timeFormat;
  size_t s = shortTime.find('s');
  if (s != std::string::npos) {
    size_t end = shortTime.find_first_not_of('s', s);
    size_t begin = s;
    while (begin > 0 && shortTime[begin - 1] == fs.TimeSeparator) --begin;
    shortTime.erase(begin, (end == std::string::npos ? shortTime.size() : end) - begin);
  }
  fs.ShortTimeFormat = TranslateTimeFormat(shortTime, fs.TimeSeparator);
  fs.TimeAMString = LocaleString(LOCALE_S1159, "AM");
  fs.TimePMString = LocaleString(LOCALE_S2359, "PM");
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] =
        LocaleString(LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(i), Format("%d", i + 1));
    fs.LongMonthNames[i] =
        LocaleString(LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(i), Format("%d", i + 1));
  }
  // The locale counts its days from Monday; ours from Sunday.
  for (int i = 0; i < 7; ++i) {
    LCTYPE day = static_cast<LCTYPE>((i + 6) % 7);
    fs.ShortDayNames[i] = LocaleString(LOCALE_SABBREVDAYNAME1 + day, Format("%d", i + 1));
    fs.LongDayNames[i] = LocaleString(LOCALE_SDAYNAME1 + day, Format("%d", i + 1));
  }
  return fs;
}

}  // namespace

TFormatSettings FormatSettings = ReadLocaleSettings();

void GetFormatSettings() { FormatSettings = ReadLocaleSettings(); }

// ---- Numbers -----------------------------------------------------------------------------

std::string IntToStr(long long value) { return std::to_string(value); }

namespace {

bool TryStrToInt(const std::string& s, int& value) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  unsigned long long magnitude = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  long long v;
  if (base == 16) {
    // Hexadecimal texts name the 32 bits themselves: $FFFFFFFF is -1.
    v = static_cast<int>(static_cast<unsigned>(magnitude));
    if (negative) v = -v;
    if (v > 0x7FFFFFFFll) return false;
  } else {
    v = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (v < -0x80000000ll || v > 0x7FFFFFFFll) return false;
  }
  value = static_cast<int>(v);
  return true;
}

}  // namespace

int StrToInt(const std::string& s) {
  int value = 0;
  if (!TryStrToInt(s, value)) throw EConvertError(Format("'%s' is not a valid integer value", s.c_str()));
  return value;
}

int StrToIntDef(const std::string& s, int defaultValue) {
  int value = 0;
  return TryStrToInt(s, value) ? value : defaultValue;
}

namespace {

// Up to 15 significant decimal digits of |value| (trailing zeros removed) and the power of
// ten of the first one: value = 0.d1d2d3... * 10^(exponent + 1).
void SignificantDigits(double value, std::string& digits, int& exponent) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof(buf), std::fabs(value), std::chars_format::scientific, 14);
  std::string text(buf, res.ptr);
  size_t e = text.find('e');
  digits = text.substr(0, 1) + text.substr(2, e - 2);
  exponent = std::atoi(text.c_str() + e + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

}  // namespace

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  std::string digits;
  int exponent;
  SignificantDigits(value, digits, exponent);
  std::string out = value < 0 ? "-" : "";
  const char sep = FormatSettings.DecimalSeparator;
  if (exponent >= 15 || exponent < -5) {
    out += digits[0];
    if (digits.size() > 1) {
      out += sep;
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(exponent);
    return out;
  }
  if (exponent < 0) {
    out += '0';
    out += sep;
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  size_t intDigits = static_cast<size_t>(exponent) + 1;
  if (digits.size() <= intDigits) {
    out += digits;
    out.append(intDigits - digits.size(), '0');
  } else {
    out.append(digits, 0, intDigits);
    out += sep;
    out.append(digits, intDigits, std::string::npos);
  }
  return out;
}

bool TryStrToFloat(const std::string& s, double& value) {
  const char sep = FormatSettings.DecimalSeparator;
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  std::string text;  // the same number in the form from_chars reads: -12.5e3
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') text += '-';
    ++i;
  }
  auto digitsInto = [&](std::string& out) {
    size_t n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++n) out += s[i];
    return n;
  };
  std::string whole, fraction, exponent;
  size_t count = digitsInto(whole);
  if (i < s.size() && s[i] == sep) {
    ++i;
    count += digitsInto(fraction);
  }
  if (count == 0) return false;
  text += (whole.empty() ? "0" : whole) + "." + (fraction.empty() ? "0" : fraction);
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    text += 'e';
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) text += s[i++];
    if (digitsInto(text) == 0) return false;
  }
  while (i < s.size() && s[i] == ' ') ++i;
  if (i != s.size()) return false;
  double v = 0;
  const char* end = text.c_str() + text.size();
  auto res = std::from_chars(text.c_str(), end, v, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != end) return false;
  value = v;
  return true;
}

double StrToFloat(const std::string& s) {
  double value = 0;
  if (!TryStrToFloat(s, value))
    throw EConvertError(Format("'%s' is not a valid floating point value", s.c_str()));
  return value;
}

namespace {

// One section of a picture format, taken apart.
struct TPicture {
  std::string prefix, suffix;  // text before the first and after the last placeholder
  int intZeros = 0;            // digits always shown before the decimal separator
  int fracMin = 0, fracMax = 0;
  bool thousands = false;
  bool hasDigits = false;
};

// Copies quoted text without its quotes; other characters as they are.
void AppendLiteral(std::string& out, const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"' || c == '\'') {
      size_t end = text.find(c, i + 1);
      if (end == std::string::npos) end = text.size();
      out.append(text, i + 1, end - i - 1);
      i = end;
    } else {
      out += c;
    }
  }
}

TPicture ParsePicture(const std::string& section) {
  TPicture p;
  size_t first = std::string::npos, last = std::string::npos;
  bool afterPoint = false;
  int fracCount = 0;
  std::vector<size_t> groupingAhead;
  for (size_t i = 0; i < section.size(); ++i) {
    char c = section[i];
    if (c == '"' || c == '\'') {
      size_t end = section.find(c, i + 1);
      i = end == std::string::npos ? section.size() : end;
      continue;
    }
    if (c == '0' || c == '#') {
      if (first == std::string::npos) first = i;
      last = i;
      p.hasDigits = true;
      if (afterPoint) {
        ++fracCount;
        if (c == '0') p.fracMin = fracCount;
      } else if (c == '0') {
        ++p.intZeros;
      }
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
      if (first == std::string::npos) first = i;
      last = i;
    } else if (c == ',' && !afterPoint) {
      // Ahead of the digits too (",0"): a grouping mark, not text.
      p.thousands = true;
      if (first == std::string::npos) groupingAhead.push_back(i);
    }
  }
  p.fracMax = fracCount;
  if (first == std::string::npos) {
    p.prefix = section;
  } else {
    p.prefix = section.substr(0, first);
    for (auto it = groupingAhead.rbegin(); it != groupingAhead.rend(); ++it) p.prefix.erase(*it, 1);
    p.suffix = section.substr(last + 1);
  }
  return p;
}

std::vector<std::string> SplitSections(const std::string& format) {
  std::vector<std::string> sections(1);
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '"' || c == '\'') {
      size_t end = format.find(c, i + 1);
      if (end == std::string::npos) end = format.size() - 1;
      sections.back().append(format, i, end - i + 1);
      i = end;
    } else if (c == ';' && sections.size() < 3) {
      sections.emplace_back();
    } else {
      sections.back() += c;
    }
  }
  return sections;
}

// |value| rounded to `decimals` places (halves away from zero, on its 15-digit form):
// the integer digits (no leading zeros, maybe empty) and exactly `decimals` fraction digits.
void RoundDigits(double value, int decimals, std::string& intPart, std::string& fracPart) {
  std::string digits;
  int exponent = 0;
  int point = 0;  // digits before the decimal point: value = 0.digits * 10^point
  if (value != 0) {
    SignificantDigits(value, digits, exponent);
    point = exponent + 1;
  }
  const int keep = point + decimals;  // leading digits that survive the rounding
  if (keep < 0) {
    digits.clear();
  } else if (keep < static_cast<int>(digits.size())) {
    const bool up = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    if (up) {
      int i = keep - 1;
      while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
      if (i >= 0) {
        ++digits[static_cast<size_t>(i)];
      } else {
        digits.insert(digits.begin(), '1');
        ++point;
      }
    }
  }
  auto digitAt = [&](int at) {
    return at >= 0 && at < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(at)] : '0';
  };
  intPart.clear();
  fracPart.clear();
  for (int i = 0; i < point; ++i) intPart += digitAt(i);
  for (int i = 0; i < decimals; ++i) fracPart += digitAt(point + i);
  size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
}

}  // namespace

std::string FormatFloat(const std::string& format, double value) {
  if (format.empty() || std::isnan(value) || std::isinf(value)) return FloatToStr(value);
  std::vector<std::string> sections = SplitSections(format);
  TPicture picture = ParsePicture(sections[0]);
  bool negative = value < 0;
  bool showSign = negative;
  if (negative && sections.size() >= 2 && !sections[1].empty()) {
    picture = ParsePicture(sections[1]);
    showSign = false;
  }
  std::string intPart, fracPart;
  RoundDigits(value, picture.fracMax, intPart, fracPart);
  bool zero = intPart.empty() && fracPart.find_first_not_of('0') == std::string::npos;
  if (zero && sections.size() >= 3 && !sections[2].empty()) {
    picture = ParsePicture(sections[2]);
    RoundDigits(0, picture.fracMax, intPart, fracPart);
  }
  if (zero) showSign = false;

  while (static_cast<int>(fracPart.size()) > picture.fracMin && fracPart.back() == '0')
    fracPart.pop_back();
  if (static_cast<int>(intPart.size()) < picture.intZeros)
    intPart.insert(0, static_cast<size_t>(picture.intZeros) - intPart.size(), '0');
  if (picture.thousands && intPart.size() > 3) {
    std::string grouped;
    size_t lead = intPart.size() % 3;
    for (size_t i = 0; i < intPart.size(); ++i) {
      if (i > 0 && (i - lead) % 3 == 0) grouped += FormatSettings.ThousandSeparator;
      grouped += intPart[i];
    }
    intPart = grouped;
  }

  std::string out = showSign ? "-" : "";
  AppendLiteral(out, picture.prefix);
  if (picture.hasDigits) {
    out += intPart;
    if (!fracPart.empty()) {
      out += FormatSettings.DecimalSeparator;
      out += fracPart;
    }
  }
  AppendLiteral(out, picture.suffix);
  return out;
}

// ---- Dates and times ---------------------------------------------------------------------

namespace {

constexpr long long kMSecsPerDay = 86400000;
// Days from 1970-01-01 to 1899-12-30, the day 0 of a TDateTime.
constexpr long long kDateDelta = -25569;

bool IsLeapYear(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int DaysInMonth(int y, int m) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

// Days of the proleptic Gregorian calendar counted from 1970-01-01.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

// The day and the milliseconds into it. The whole value is rounded to the millisecond
// first, so 23:59:59.9996 is the next day's midnight. Before day 0 the fraction is still
// the time of day: -1.25 is 1899-12-29 06:00.
void SplitDateTime(TDateTime dt, long long& day, long long& msOfDay) {
  long long total = std::llround(dt * static_cast<double>(kMSecsPerDay));
  day = total / kMSecsPerDay;
  msOfDay = std::llabs(total % kMSecsPerDay);
}

}  // namespace

TDateTime EncodeDate(WORD year, WORD month, WORD day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    throw EConvertError("Invalid argument to date encode");
  return static_cast<double>(DaysFromCivil(year, month, day) - kDateDelta);
}

TDateTime EncodeTime(WORD hour, WORD min, WORD sec, WORD msec) {
  if (hour >= 24 || min >= 60 || sec >= 60 || msec >= 1000)
    throw EConvertError("Invalid argument to time encode");
  return static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / kMSecsPerDay;
}

void DecodeDate(TDateTime dateTime, WORD& year, WORD& month, WORD& day) {
  long long days, ms;
  SplitDateTime(dateTime, days, ms);
  long long y;
  unsigned m, d;
  CivilFromDays(days + kDateDelta, y, m, d);
  year = static_cast<WORD>(y);
  month = static_cast<WORD>(m);
  day = static_cast<WORD>(d);
}

void DecodeTime(TDateTime dateTime, WORD& hour, WORD& min, WORD& sec, WORD& msec) {
  long long days, ms;
  SplitDateTime(dateTime, days, ms);
  hour = static_cast<WORD>(ms / 3600000);
  min = static_cast<WORD>(ms / 60000 % 60);
  sec = static_cast<WORD>(ms / 1000 % 60);
  msec = static_cast<WORD>(ms % 1000);
}

TDateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay) +
         EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime Date() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeDate(st.wYear, st.wMonth, st.wDay);
}

TDateTime Time() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

namespace {

char Lower(char c) { return AsciiLower(c); }

bool StartsWithNoCase(const std::string& s, size_t at, const char* word) {
  for (size_t i = 0; word[i]; ++i)
    if (at + i >= s.size() || Lower(s[at + i]) != word[i]) return false;
  return true;
}

// Whether the format asks for the 12-hour clock (outside quoted text).
bool HasAmPm(const std::string& f) {
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] == '"' || f[i] == '\'') {
      size_t end = f.find(f[i], i + 1);
      if (end == std::string::npos) return false;
      i = end;
    } else if (StartsWithNoCase(f, i, "ampm") || StartsWithNoCase(f, i, "am/pm") ||
               StartsWithNoCase(f, i, "a/p")) {
      return true;
    }
  }
  return false;
}

// The next format letter after position `from`, skipping quoted text; 0 when none.
char NextLetter(const std::string& f, size_t from) {
  for (size_t i = from; i < f.size(); ++i) {
    char c = Lower(f[i]);
    if (c == '"' || c == '\'') {
      size_t end = f.find(f[i], i + 1);
      if (end == std::string::npos) return 0;
      i = end;
    } else if (c >= 'a' && c <= 'z') {
      return c;
    }
  }
  return 0;
}

std::string Padded(int value, int width) { return Format("%0*d", width, value); }

}  // namespace

std::string FormatDateTime(const std::string& format, TDateTime dateTime) {
  WORD year, month, day, hour, minute, second, msec;
  DecodeDate(dateTime, year, month, day);
  DecodeTime(dateTime, hour, minute, second, msec);
  long long days, ms;
  SplitDateTime(dateTime, days, ms);
  const int dayOfWeek = static_cast<int>(((days % 7) + 7 + 6) % 7);  // day 0 was a Saturday
  const bool twelveHour = HasAmPm(format);
  const TFormatSettings& fs = FormatSettings;

  std::string out;
  bool afterHour = false;
  for (size_t i = 0; i < format.size();) {
    char c = format[i];
    char lc = Lower(c);
    if (c == '"' || c == '\'') {
      size_t end = format.find(c, i + 1);
      if (end == std::string::npos) end = format.size();
      out.append(format, i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    if (c == '/') {
      out += fs.DateSeparator;
      ++i;
      continue;
    }
    if (c == ':') {
      out += fs.TimeSeparator;
      ++i;
      continue;
    }
    if (lc == 'a') {
      bool pm = hour >= 12;
      if (StartsWithNoCase(format, i, "ampm")) {
        out += pm ? fs.TimePMString : fs.TimeAMString;
        i += 4;
      } else if (StartsWithNoCase(format, i, "am/pm")) {
        out.append(format, pm ? i + 3 : i, 2);  // in the case the format writes it
        i += 5;
      } else if (StartsWithNoCase(format, i, "a/p")) {
        out += format[pm ? i + 2 : i];
        i += 3;
      } else {
        out += c;
        ++i;
      }
      continue;
    }
    size_t n = 1;
    while (i + n < format.size() && Lower(format[i + n]) == lc) ++n;
    switch (lc) {
      case 'd':
        if (n == 1) out += std::to_string(day);
        else if (n == 2) out += Padded(day, 2);
        else if (n == 3) out += fs.ShortDayNames[dayOfWeek];
        else out += fs.LongDayNames[dayOfWeek];
        break;
      case 'm':
        if (n <= 2 && (afterHour || NextLetter(format, i + n) == 's')) {
          out += n == 1 ? std::to_string(minute) : Padded(minute, 2);
        } else if (n == 1) {
          out += std::to_string(month);
        } else if (n == 2) {
          out += Padded(month, 2);
        } else if (n == 3) {
          out += fs.ShortMonthNames[month - 1];
        } else {
          out += fs.LongMonthNames[month - 1];
        }
        break;
      case 'y':
        out += n <= 2 ? Padded(year % 100, 2) : Padded(year, 4);
        break;
      case 'h': {
        int h = hour;
        if (twelveHour) {
          h %= 12;
          if (h == 0) h = 12;
        }
        out += n == 1 ? std::to_string(h) : Padded(h, 2);
        break;
      }
      case 'n':
        out += n == 1 ? std::to_string(minute) : Padded(minute, 2);
        break;
      case 's':
        out += n == 1 ? std::to_string(second) : Padded(second, 2);
        break;
      case 'z':
        out += n < 3 ? std::to_string(msec) : Padded(msec, 3);
        break;
      default:
        out.append(format, i, n);
        break;
    }
    if (lc >= 'a' && lc <= 'z') afterHour = lc == 'h';
    i += n;
  }
  return out;
}

std::string DateToStr(TDateTime dateTime) {
  return FormatDateTime(FormatSettings.ShortDateFormat, dateTime);
}

std::string TimeToStr(TDateTime dateTime) {
  return FormatDateTime(FormatSettings.LongTimeFormat, dateTime);
}
