#include "sim/eap_responder.hpp"

#include "core/text.hpp"

#include <optional>
#include <string_view>

namespace orva::sim {
namespace {

constexpr std::string_view kFrameStarts = ":;#/[]";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";
// The longest frame whose form the camera cannot know from its letter: function form 4.
constexpr int kLongestEchoFrame = 10;
// A privacy mask command carries a byte and a word: "/M" BB WWWW.
constexpr std::uint8_t kFunctionStart = '/';
constexpr std::uint8_t kMaskLetter = 'M';
constexpr int kMaskFrameLength = 8;
constexpr int kLastAddressPosition = 6;
constexpr int kFirstValuePosition = 7;
constexpr int kLastBlockReadPosition = 26;
constexpr std::uint8_t kBlank = ' ';

bool isFrameStart(std::uint8_t c) {
  return kFrameStarts.find(static_cast<char>(c)) != std::string_view::npos;
}

std::optional<unsigned> hexValue(std::uint8_t c) { return core::hexDigit(static_cast<char>(c)); }

}  // namespace

void EapResponder::reset() {
  start_ = 0;
  letter_ = 0;
  body_.clear();
  kind_ = Kind::Pending;
  position_ = 0;
  address_ = 0;
  value_ = 0;
  valid_ = true;
}

Reply EapResponder::hear(std::uint8_t c) {
  if (isFrameStart(c)) {
    reset();
    start_ = c;
    position_ = 1;
    return echo(c);
  }
  if (position_ == 0) return echo(c);
  ++position_;
  if (position_ == 2) return kindLetter(c);
  body_ += static_cast<char>(c);
  return body(c);
}

Reply EapResponder::kindLetter(std::uint8_t c) {
  const bool reads = start_ == ':' || start_ == ';' || start_ == '[' || start_ == ']';
  const bool writes = start_ == ':' || start_ == '#';
  letter_ = c;
  kind_ = Kind::EchoOnly;
  if (reads && c == 'R') kind_ = Kind::ByteRead;
  if (reads && c == 'r') kind_ = Kind::WordRead;
  if (writes && c == 'W') kind_ = Kind::ByteWrite;
  if (writes && c == 'w') kind_ = Kind::WordWrite;
  return echo(c);
}

Reply EapResponder::body(std::uint8_t c) {
  if (kind_ == Kind::EchoOnly || kind_ == Kind::Pending) {
    const int length = start_ == kFunctionStart && letter_ == kMaskLetter ? kMaskFrameLength : kLongestEchoFrame;
    if (position_ < length) return echo(c);
    Reply reply = echo(c);
    if (start_ == kFunctionStart) reply = took(std::move(reply));
    return endFrame(std::move(reply));
  }
  if (position_ <= kLastAddressPosition) {
    if (auto d = hexValue(c))
      address_ = static_cast<std::uint16_t>((static_cast<unsigned>(address_) << 4) | *d);
    else
      valid_ = false;
    return echo(c);
  }
  switch (kind_) {
    case Kind::ByteRead:
      return readValue(c, kLastBlockReadPosition);
    case Kind::WordRead:
      return readValue(c, kFirstValuePosition + 3);
    case Kind::BlankRow:
      return blankRow(c);
    case Kind::ByteWrite:
      return writeValue(c, 2);
    default:
      return writeValue(c, 4);
  }
}

Reply EapResponder::readValue(std::uint8_t c, int lastPosition) {
  const int index = position_ - kFirstValuePosition;
  if (kind_ == Kind::ByteRead && index == 2 && c == kBlank && valid_) {
    kind_ = Kind::BlankRow;
    return blankRow(c);
  }
  // After the first register, a block read goes on only while each pair starts with '0';
  // anything else means the byte read ended at its 8th character.
  if (kind_ == Kind::ByteRead && index >= 2 && index % 2 == 0 && c != '0') {
    reset();
    return echo(c);
  }
  // A word goes out as it stood at its first digit, though the lens may move meanwhile.
  if (kind_ == Kind::WordRead && index == 0)
    for (std::size_t i = 0; i < word_.size(); ++i)
      word_[i] = memory_.read(static_cast<std::uint16_t>(address_ + i));
  Reply reply = valid_ ? valueDigit(index) : echo(c);
  if (valid_ && index == (kind_ == Kind::WordRead ? 3 : 1)) reply = took(std::move(reply));
  return position_ == lastPosition ? endFrame(std::move(reply)) : reply;
}

Reply EapResponder::blankRow(std::uint8_t c) {
  // Anything but a blank ends the row read; the character is then outside any frame.
  if (c != kBlank) {
    reset();
    return echo(c);
  }
  return valueDigit(position_ - kFirstValuePosition);
}

Reply EapResponder::valueDigit(int digitIndex) {
  const auto address = static_cast<std::uint16_t>(address_ + digitIndex / 2);
  const std::uint8_t value =
      kind_ == Kind::WordRead ? word_[static_cast<std::size_t>(digitIndex / 2)] : memory_.read(address);
  const unsigned nibble = digitIndex % 2 == 0 ? value >> 4 : value & 0x0Fu;
  Reply reply;
  reply.answer = {static_cast<std::uint8_t>(kHexDigits[nibble])};
  reply.position = position_;
  reply.valueDigit = true;
  return reply;
}

Reply EapResponder::writeValue(std::uint8_t c, int valueDigits) {
  if (auto d = hexValue(c))
    value_ = static_cast<std::uint16_t>((static_cast<unsigned>(value_) << 4) | *d);
  else
    valid_ = false;
  Reply reply = echo(c);
  if (position_ < kLastAddressPosition + valueDigits) return reply;
  if (valid_) {
    reply = took(std::move(reply));
    if (valueDigits == 2) {
      reply.writes.push_back({address_, static_cast<std::uint8_t>(value_)});
    } else {
      reply.writes.push_back({address_, static_cast<std::uint8_t>(value_ >> 8)});
      reply.writes.push_back({static_cast<std::uint16_t>(address_ + 1), static_cast<std::uint8_t>(value_)});
    }
    for (const auto& w : reply.writes) memory_.write(w.address, w.value);
  }
  return endFrame(std::move(reply));
}

Reply EapResponder::echo(std::uint8_t c, bool ends) {
  Reply reply;
  reply.answer = {c};
  reply.position = position_;
  return ends ? endFrame(std::move(reply)) : reply;
}

Reply EapResponder::took(Reply reply) const {
  reply.eapFrame = EapFrame{static_cast<char>(start_), static_cast<char>(letter_), body_};
  return reply;
}

Reply EapResponder::endFrame(Reply reply) {
  reply.frameEnds = true;
  reset();
  return reply;
}

}  // namespace orva::sim
