#pragma once
// Local calendar time, for names of log files and dated backup files.
#include <memory>

namespace orva::core {

struct LocalTime {
  int year = 2000;
  int month = 1;  // 1-12
  int day = 1;    // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual LocalTime localNow() const = 0;
};

class SystemWallClock final : public WallClock {
 public:
  LocalTime localNow() const override;
};

// Always shows the same time unless a test sets another one.
class FixedWallClock final : public WallClock {
 public:
  explicit FixedWallClock(LocalTime t) : t_(t) {}
  LocalTime localNow() const override { return t_; }
  void set(LocalTime t) { t_ = t; }

 private:
  LocalTime t_;
};

}  // namespace orva::core
