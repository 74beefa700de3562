// Runtime basics: the exception hierarchy every library unit raises, and text formatting.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The system's text for an error code, without a trailing line break.
std::string SysErrorMessage(DWORD code);

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
class EStreamError : public Exception { using Exception::Exception; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
class EOutOfMemory : public Exception { using Exception::Exception; };
