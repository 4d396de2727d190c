#include "link/afp_frames.hpp"

#include <algorithm>

namespace orva::link {

namespace afp {

std::string setFrame(std::string_view payload) {
  std::string f = "S";
  f += payload;
  f += 'T';
  return f;
}

std::string getFrame(std::string_view payload) {
  std::string f = "G";
  f += payload;
  f += 'T';
  return f;
}

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return kNotADigit;
}

unsigned slotIndex(char slotDigit) { return static_cast<unsigned>(digitValue(slotDigit)) % 32u; }

}  // namespace afp

namespace {

constexpr std::size_t kCodeLength = 4;

}  // namespace

std::string_view AfpFrame::code() const {
  if (text.size() < 2) return {};
  return std::string_view(text).substr(1, std::min(kCodeLength, text.size() - 2));
}

std::string_view AfpFrame::value() const {
  if (text.size() < kCodeLength + 2) return {};
  return std::string_view(text).substr(kCodeLength + 1, text.size() - kCodeLength - 2);
}

AfpFeed AfpFrameAssembler::feed(std::uint8_t byte) {
  AfpFeed out;
  if (byte == 0 || byte > 0x7F) {
    reset();
    out.fault = AfpByteFault::Invalid;
    return out;
  }
  const char c = static_cast<char>(byte);
  if (c == 'Z') {
    // Whatever was being collected will not be completed by the camera.
    reset();
    out.fault = AfpByteFault::Refused;
    return out;
  }
  if (!collecting_) {
    if (c == 'R' || c == 'X' || c == 'Y' || c == 'I') {
      collecting_ = true;
      partial_.assign(1, c);
    }
    return out;
  }
  if (c == 'T') {
    partial_ += c;
    out.frame = AfpFrame{static_cast<AfpFrameKind>(partial_[0]), std::move(partial_)};
    reset();
    return out;
  }
  if (partial_.size() + 1 >= afp::kMaxFrameLength) {
    // No room left for the closing "T": drop the frame instead of letting it grow.
    reset();
    out.fault = AfpByteFault::Overlong;
    return out;
  }
  partial_ += c;
  return out;
}

}  // namespace orva::link
