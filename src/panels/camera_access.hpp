#pragma once
// What a panel needs to reach the camera: the link and the two protocols' operations, with
// the protocol picked at the moment each access runs.
//
// Values are the camera's, in the form of the protocol in use; a ProtocolValue carries both
// numberings of one choice (AFP often counts from 1 where the register counts from 0).
//
// Error model: every access reports its own failure in the monitor (the link's fault report,
// the line reopened) and returns false or nothing; a panel decides only what it shows next.
// Time limits run on the link's clock, and the waits that may be long (a message, listening)
// end at once when their stop_token is requested.
//
// Threads: any thread may use it; the link serialises the commands. The long accesses
// (takeMessage, listen) belong on the operation thread; a BlockReadOff holds the line for one
// thread while it lives. Indications reach a panel only on the window thread, through the
// Dispatcher, and only while the panel is open and its subscription lives.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <string>

#include "camera/code_map.hpp"
#include "camera/setting.hpp"
#include "core/deadline.hpp"
#include "link/afp.hpp"
#include "link/block_read_off.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "link/unsolicited.hpp"
#include "panels/dispatch.hpp"

namespace orva::panels {

struct ProtocolValue {
  std::uint32_t eap = 0;
  std::uint32_t afp = 0;
  constexpr std::uint32_t in(link::Protocol p) const { return p == link::Protocol::Afp ? afp : eap; }
  friend constexpr bool operator==(const ProtocolValue&, const ProtocolValue&) = default;
};

// The camera's AFP indications for one panel, from subscription until it goes (or is
// replaced): each is posted through the Dispatcher and handled on the window thread only
// while the panel's token is open and the subscription lives, so a panel that has closed, or
// has let its subscription go, never sees one. The Dispatcher outlives the subscription.
class IndicationSubscription {
 public:
  using Handler = std::function<void(const link::AfpIndication&)>;

  IndicationSubscription() = default;  // subscribed to nothing
  IndicationSubscription(link::Afp& afp, Dispatcher& dispatcher, PanelToken token, Handler handler);
  ~IndicationSubscription() { reset(); }
  IndicationSubscription(IndicationSubscription&& other) noexcept;
  IndicationSubscription& operator=(IndicationSubscription&& other) noexcept;
  IndicationSubscription(const IndicationSubscription&) = delete;
  IndicationSubscription& operator=(const IndicationSubscription&) = delete;

  bool active() const { return afp_ != nullptr; }
  // Unsubscribes now; what was posted and has not run yet is dropped.
  void reset();

 private:
  link::Afp* afp_ = nullptr;
  int id_ = 0;
  std::shared_ptr<std::atomic<bool>> live_;
};

class CameraAccess {
 public:
  CameraAccess(link::Link& link, link::Eap& eap, camera::FunctionCodes& codes)
      : link_(link), eap_(eap), codes_(codes) {}

  link::Protocol protocol() const { return link_.protocol(); }
  // camera::readSetting and camera::writeSetting over this link.
  bool read(const camera::Setting& s, std::uint32_t& value);
  bool write(const camera::Setting& s, std::uint32_t value);
  // The value of the protocol in use.
  bool write(const camera::Setting& s, ProtocolValue value) { return write(s, value.in(protocol())); }

  // The message of `count` bytes the camera sends once the command before has completed, by
  // `deadline` (from that command's start); shown in the camera pane (link/unsolicited.hpp).
  std::optional<std::string> takeMessage(std::size_t count, const core::Deadline& deadline, std::stop_token stop = {}) {
    return link::takeMessage(link_, count, deadline, std::move(stop));
  }
  // Every byte the camera sends, shown and handed to `onByte`, until `stop`, then for `tail`.
  void listen(std::stop_token stop, const link::ByteHandler& onByte, core::Clock::duration tail = {}) {
    link::listen(link_, std::move(stop), onByte, tail);
  }
  // Consecutive EAP registers from `address`, as many as `values` holds (link::Eap).
  bool readSequence(std::uint16_t address, std::span<std::uint8_t> values) {
    return eap_.readSequence(address, values);
  }
  // Drops what both queues of the line hold: what a restarting camera said as it went down.
  void purge() {
    auto lock = link_.command();
    link_.clearBuffers();
  }
  // Block-read mode off until the guard goes, then as it was (link/block_read_off.hpp).
  [[nodiscard]] link::BlockReadOff blockReadOff() { return link::BlockReadOff(link_); }
  // The camera's indications for the panel of `token` (AFP; in EAP none come). Starts the
  // receive thread when none runs, so they arrive while the panel waits.
  [[nodiscard]] IndicationSubscription subscribeIndications(Dispatcher& dispatcher, PanelToken token,
                                                            IndicationSubscription::Handler handler);

  link::Link& link() { return link_; }
  link::Eap& eap() { return eap_; }
  camera::FunctionCodes& codes() { return codes_; }

 private:
  link::Link& link_;
  link::Eap& eap_;
  camera::FunctionCodes& codes_;
};

}  // namespace orva::panels
