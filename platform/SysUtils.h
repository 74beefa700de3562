// Runtime basics: the exception hierarchy every library unit raises, text formatting and
// conversions, file and folder helpers, and dates and times in the user's locale.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <type_traits>

#include "platform/Sets.h"

// The name is this unit's function; the Win32 call is always spelled DeleteFileA.
#undef DeleteFile

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The system's text for an error code, without a trailing line break.
std::string SysErrorMessage(DWORD code);

// The text of a string-table entry of the program's module, however long; "" when it has
// none. The libraries' messages and the controls' captions come from here.
std::string LoadResString(UINT resourceId);

namespace sysutils_detail {
inline const char* FormatArgument(const std::string& text) { return text.c_str(); }
template <class T>
  requires std::is_arithmetic_v<T> || std::is_pointer_v<T>
T FormatArgument(T value) {
  return value;
}
}  // namespace sysutils_detail

// A string-table entry filled in as printf fills its format: texts as std::string, numbers
// as they are. Every message the program makes of its string table goes through here (an
// entry without values is LoadResString's).
template <class... Args>
  requires(sizeof...(Args) > 0)
std::string ResMessage(UINT resourceId, const Args&... args) {
  return Format(LoadResString(resourceId).c_str(), sysutils_detail::FormatArgument(args)...);
}

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Raised to end an operation without any message reaching the user.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};
[[noreturn]] void Abort();

// A failed system call: the message is built from the error code's system text.
class EOSError : public Exception {
 public:
  explicit EOSError(DWORD code);
  DWORD ErrorCode() const { return code_; }

 private:
  DWORD code_;
};
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(DWORD code);

class EConvertError : public Exception { using Exception::Exception; };
class EListError : public Exception { using Exception::Exception; };
// A file or stream that could not be opened, made, read or written; ErrorCode() is the
// system's error code behind it (0 when there is none).
class EStreamError : public Exception {
 public:
  explicit EStreamError(std::string message, DWORD code = 0)
      : Exception(std::move(message)), code_(code) {}
  DWORD ErrorCode() const { return code_; }

 private:
  DWORD code_;
};
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
class EReadError : public EStreamError { using EStreamError::EStreamError; };
class EWriteError : public EStreamError { using EStreamError::EStreamError; };
class EOutOfMemory : public Exception { using Exception::Exception; };

// ---- Files and folders -------------------------------------------------------------------
// Paths are ANSI text; the delimiters are "\" (folders) and ":" (drive).

bool FileExists(const std::string& fileName);  // an existing file, not a folder
bool DirectoryExists(const std::string& dir);
bool DeleteFile(const std::string& fileName);
// A plain rename: fails when newName already exists.
bool RenameFile(const std::string& oldName, const std::string& newName);
bool CreateDir(const std::string& dir);
// Creates the folder and every missing parent; true when the folder exists afterwards.
bool ForceDirectories(const std::string& dir);
std::string GetCurrentDir();

std::string ExtractFilePath(const std::string& fileName);  // folder with its trailing "\"
std::string ExtractFileDir(const std::string& fileName);   // folder without it (roots keep it)
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFileExt(const std::string& fileName);  // with its dot; empty when none
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
// Full path, relative names taken against the current folder.
std::string ExpandFileName(const std::string& fileName);
// Full path; on a mapped network drive the \\server\share form.
std::string ExpandUNCFileName(const std::string& fileName);
std::string IncludeTrailingBackslash(const std::string& path);
std::string ExcludeTrailingBackslash(const std::string& path);

// The whole file, its bytes as they are; it may be open for writing elsewhere (a log still
// being written). Raises EFOpenError "Cannot open file \"<name>\". <system text>" when it
// cannot be opened and EReadError "Cannot read file \"<name>\". <system text>" when reading
// fails or the file holds 1 GB or more; either carries the system's error code.
std::string ReadFileContents(const std::string& fileName);

// ---- Text --------------------------------------------------------------------------------

// Text between a code page's bytes and UTF-16; the ANSI forms use the code page of the
// program's texts. A letter the code page lacks becomes the system's nearest one, or its
// default character. WideToAnsi reads up to the terminating zero.
std::wstring CodePageToWide(const std::string& text, UINT codePage);
std::string WideToCodePage(const std::wstring& text, UINT codePage);
inline std::wstring AnsiToWide(const std::string& text) { return CodePageToWide(text, CP_ACP); }
std::string WideToAnsi(const wchar_t* text);

// Upper and lower case by the user's locale (every byte of the ANSI code page).
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
// Comparisons by the user's locale: below, at or above zero.
int AnsiCompareText(const std::string& a, const std::string& b);  // without regard to case
int AnsiCompareStr(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);
// Case of the ASCII letters only.
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
bool SameText(const std::string& a, const std::string& b);

// Remove blanks and control characters (every byte up to 0x20).
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
std::string StringReplace(const std::string& s, const std::string& oldPattern,
                          const std::string& newPattern, TReplaceFlags flags);
// 1-based position of the first occurrence of sub in s; 0 when absent or sub is empty.
int Pos(const std::string& sub, const std::string& s);

// ---- Locale settings ---------------------------------------------------------------------

// How numbers, dates and times are written. Filled from the user's locale at start; date
// formats use "/" for DateSeparator and ":" for TimeSeparator wherever they stand.
struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char DateSeparator = '/';
  char TimeSeparator = ':';
  std::string ShortDateFormat = "M/d/yyyy";
  std::string LongDateFormat = "dddd, MMMM d, yyyy";
  std::string ShortTimeFormat = "h:mm AMPM";
  std::string LongTimeFormat = "h:mm:ss AMPM";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::string ShortMonthNames[12];
  std::string LongMonthNames[12];
  std::string ShortDayNames[7];  // Sunday first
  std::string LongDayNames[7];
};
extern TFormatSettings FormatSettings;
// Reads FormatSettings again from the user's locale.
void GetFormatSettings();

// ---- Numbers -----------------------------------------------------------------------------

std::string IntToStr(long long value);
// Decimal (or "$"/"0x" hexadecimal) text of a 32-bit integer, with leading blanks allowed.
// Raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& s);
int StrToIntDef(const std::string& s, int defaultValue);

// Shortest general text of up to 15 significant digits with the locale's decimal separator;
// very large or small values in the form 1.5E-7.
std::string FloatToStr(double value);
// Text with the locale's decimal separator, an optional exponent and surrounding blanks.
// StrToFloat raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(const std::string& s);
bool TryStrToFloat(const std::string& s, double& value);
// Picture formats: "0" a digit always shown, "#" a digit when significant, "." the decimal
// separator, "," (in the integer part) thousands grouping, quoted or other text copied;
// up to three sections "positive;negative;zero". Halves round away from zero.
std::string FormatFloat(const std::string& format, double value);

// ---- Dates and times ---------------------------------------------------------------------

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

TDateTime Now();
TDateTime Date();
TDateTime Time();
// Raise EConvertError for values that name no date or time.
TDateTime EncodeDate(WORD year, WORD month, WORD day);
TDateTime EncodeTime(WORD hour, WORD min, WORD sec, WORD msec);
void DecodeDate(TDateTime dateTime, WORD& year, WORD& month, WORD& day);
void DecodeTime(TDateTime dateTime, WORD& hour, WORD& min, WORD& sec, WORD& msec);

// Format letters, in either case: d dd (day), ddd dddd (day name), m mm (month, or minutes
// right after an hour or before seconds), mmm mmmm (month name), yy yyyy (year), h hh
// (hour), n nn (minutes), s ss (seconds), z zzz (milliseconds), AMPM am/pm a/p (12-hour
// clock with its marker); "/" and ":" are the date and time separators; text in quotes is
// copied.
std::string FormatDateTime(const std::string& format, TDateTime dateTime);
std::string DateToStr(TDateTime dateTime);  // ShortDateFormat
std::string TimeToStr(TDateTime dateTime);  // LongTimeFormat
