#include "sim/afp_responder.hpp"

#include <algorithm>

#include "camera/code_map.hpp"
#include "core/text.hpp"
#include "sim/gateway.hpp"

namespace orva::sim {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::size_t kCodeDigits = 4;
// Far beyond the longest payload in use (34 digits): a frame that long is noise.
constexpr std::size_t kMaxPayload = 64;

// A function that holds a table: where its index lies among the value digits.
struct TableFunction {
  std::uint16_t code;
  std::size_t first;   // digit offset of the index
  std::size_t digits;  // digits of the index
};
// The mask, area or index comes first; a preset command names its slot after the sub-command.
constexpr TableFunction kTableFunctions[] = {
    {0x120E, 0, 2}, {0x1305, 0, 2}, {0x2107, 0, 2}, {0x610D, 2, 2}, {0x7208, 0, 2}, {0x7209, 0, 2},
};

// Where a table function's entry is kept: by its index digits. An index of all F's names no
// entry, and stands for the latest one set (the code alone).
std::pair<std::uint16_t, std::string> storeKey(std::uint16_t code, std::string_view value) {
  for (const auto& t : kTableFunctions) {
    if (t.code != code) continue;
    std::string index(value.substr(std::min(t.first, value.size()), t.digits));
    if (index.find_first_not_of('F') == std::string::npos) index.clear();
    return {code, std::move(index)};
  }
  return {code, {}};
}

// How many digits answer a get of `code` sent with `sent` value digits: the code map's reply
// width where it knows the function in that width, else as many as were sent.
std::size_t replyDigits(std::uint16_t code, std::size_t sent) {
  const camera::CodeInfo* row = camera::findCode(code, static_cast<int>(sent * 4));
  if (row == nullptr) return sent;
  std::size_t digits = 0;
  for (const camera::Field& f : row->reply()) digits += f.digits();
  return digits;
}

bool isDigit(std::uint8_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

std::vector<std::uint8_t> frame(char letter, std::string_view body) {
  std::vector<std::uint8_t> out;
  out.push_back(static_cast<std::uint8_t>(letter));
  for (char c : body) out.push_back(static_cast<std::uint8_t>(c));
  out.push_back(static_cast<std::uint8_t>(kAfpEnd));
  return out;
}

}  // namespace

void AfpResponder::reset() {
  kind_ = 0;
  payload_.clear();
}

Reply AfpResponder::hear(std::uint8_t c) {
  if (c == kAfpSet || c == kAfpGet) {
    reset();
    kind_ = static_cast<char>(c);
    Reply reply;
    reply.position = 1;
    return reply;
  }
  if (kind_ == 0) return garbage(0);
  if (c == kAfpEnd) return complete();
  const int position = static_cast<int>(payload_.size()) + 2;
  if (!isDigit(c) || payload_.size() == kMaxPayload) return garbage(position);
  payload_ += static_cast<char>(c);
  Reply reply;
  reply.position = position;
  return reply;
}

Reply AfpResponder::complete() {
  const int position = static_cast<int>(payload_.size()) + 2;
  if (payload_.size() <= kCodeDigits) return garbage(position);
  const std::string payload = std::move(payload_);
  const char kind = kind_;
  reset();
  const std::string_view code = std::string_view(payload).substr(0, kCodeDigits);
  const std::string_view value = std::string_view(payload).substr(kCodeDigits);
  const auto number = static_cast<std::uint16_t>(*core::parseHex(code, kCodeDigits));
  Reply reply;
  if (auto refusal = refusals_.find(number); refusal != refusals_.end())
    reply = status(refusal->second);
  else
    reply = kind == kAfpSet ? set(number, value) : get(code, number, value);
  reply.position = position;
  reply.frameEnds = true;
  return reply;
}

Reply AfpResponder::set(std::uint16_t code, std::string_view value) {
  Reply reply;
  if (isGatewayCode(code)) {
    auto writes = gatewayWrites(code, value);
    if (!writes) return status(kMalformedStatus);
    for (const auto& w : *writes) memory_.write(w.address, w.value);
    reply.writes = std::move(*writes);
  } else {
    values_[storeKey(code, value)] = value;
    values_[{code, {}}] = value;
  }
  const char slot = nextSlot();
  reply.answer = frame(kAfpAccepted, std::string{slot, '0'});
  reply.completion = frame(kAfpCompleted, std::string{slot, '0'});
  reply.functionSet = FunctionSet{code, std::string(value)};
  return reply;
}

Reply AfpResponder::get(std::string_view code, std::uint16_t number, std::string_view value) {
  std::string digits;
  if (isGatewayCode(number)) {
    auto read = gatewayRead(memory_, number, value);
    if (!read) return status(kMalformedStatus);
    digits = std::move(*read);
  } else {
    std::string kept;
    if (const auto reader = readers_.find(number); reader != readers_.end())
      kept = reader->second(value);
    else if (const auto found = values_.find(storeKey(number, value)); found != values_.end())
      kept = found->second;
    const std::size_t length = replyDigits(number, value.size());
    if (length == value.size()) {
      for (std::size_t i = 0; i < value.size(); ++i)
        digits += value[i] != 'F' ? value[i] : i < kept.size() ? kept[i] : '0';
    } else {
      // A reply laid out apart from its request (the status block, asked with EE) carries
      // the whole value in the code map's width; nothing of the request comes back.
      digits = kept.substr(0, length);
      digits.resize(length, '0');
    }
  }
  Reply reply;
  reply.answer = frame(kAfpData, std::string(code) + digits);
  return reply;
}

Reply AfpResponder::status(std::uint8_t digit) {
  Reply reply;
  reply.answer = frame(kAfpAccepted, std::string{nextSlot(), kHexDigits[digit & 0x0Fu]});
  return reply;
}

Reply AfpResponder::garbage(int position) {
  reset();
  Reply reply;
  reply.answer = {static_cast<std::uint8_t>(kAfpGarbage)};
  reply.position = position;
  reply.frameEnds = position > 0;
  return reply;
}

char AfpResponder::nextSlot() {
  const char slot = kHexDigits[slot_];
  slot_ = (slot_ + 1) % 16;
  return slot;
}

}  // namespace orva::sim
