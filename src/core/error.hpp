#pragma once
// Error vocabulary of the core. Operations that can fail for reasons outside the program
// (files, devices, input) return Status or Result<T>: the message is written for the
// operator ("could not write /path/ORVA.ini: Permission denied") and says what failed and why.
#include <string>
#include <utility>
#include <variant>

namespace orva::core {

struct Error {
  std::string message;
};

class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error e) : error_(std::move(e.message)), failed_(true) {}  // NOLINT: implicit by design
  static Status ok() { return {}; }

  explicit operator bool() const { return !failed_; }
  bool failed() const { return failed_; }
  const std::string& message() const { return error_; }

 private:
  std::string error_;
  bool failed_ = false;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Error e) : v_(std::move(e)) {}      // NOLINT: implicit by design

  explicit operator bool() const { return v_.index() == 0; }
  bool failed() const { return v_.index() == 1; }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const std::string& message() const { return std::get<1>(v_).message; }
  Status status() const { return failed() ? Status(std::get<1>(v_)) : Status(); }

 private:
  std::variant<T, Error> v_;
};

// "could not <what> <path>: <strerror(errnum)>"
Error systemError(std::string_view what, std::string_view subject, int errnum);

}  // namespace orva::core
