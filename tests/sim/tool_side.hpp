#pragma once
// Test aid: the tool's side of an in-process line — sending text and reading what comes back.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/clock.hpp"
#include "link/byte_channel.hpp"

namespace orva::sim::testing {

inline std::span<const std::uint8_t> bytesOf(std::string_view s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// The tool's way of sending a frame with block-read mode 0: each character waits for its
// answer, up to a second.
inline std::string exchangeEach(link::ByteChannel& channel, core::Clock& clock, std::string_view frame) {
  using namespace std::chrono_literals;
  std::string answered;
  for (char c : frame) {
    const auto sent = channel.write(bytesOf(std::string_view(&c, 1)), core::Deadline(clock, 1000ms));
    EXPECT_EQ(sent, link::IoResult::Ok);
    std::uint8_t b = 0;
    if (channel.readByte(b, core::Deadline(clock, 1000ms)) != link::IoResult::Ok) break;
    answered += static_cast<char>(b);
  }
  return answered;
}

// Up to `n` bytes, each waited for up to `patience`.
inline std::string readAll(link::ByteChannel& channel, core::Clock& clock, std::size_t n,
                           core::Clock::duration patience = std::chrono::milliseconds(1000)) {
  std::string answered;
  std::uint8_t b = 0;
  while (answered.size() < n && channel.readByte(b, core::Deadline(clock, patience)) == link::IoResult::Ok)
    answered += static_cast<char>(b);
  return answered;
}

}  // namespace orva::sim::testing
