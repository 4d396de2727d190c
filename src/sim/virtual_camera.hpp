#pragma once
// A camera in software: register memory, a responder for each protocol, the line settings it
// listens at, its faults, its timers and a log of every frame it heard.
//
// It knows the time only as its channel tells it (advanceTo) and nothing of transport: a
// channel (in-process or a pty) decides when a character has arrived, calls hear(), puts the
// answer on the line, and carries what the camera sends of its own accord (takeOutput): the
// completions of AFP sets, after the profile's completion delay, indications, and the
// arrival message that an EAP write sent with "#" asks for (kArrivalMessage, after the same
// delay).
//
// The camera acts on its control registers and functions (camera_controls.hpp): it switches
// protocol, takes a new line speed as pending, restarts, and goes back to its factory EEPROM.
// Its lens (lens.hpp) moves with its time; its exposure registers act as exposure.hpp says,
// its picture registers and soft reset as picture.hpp says, and its IR cut filter and PL filter
// move with its time (ir_filter.hpp).
// While restarting it hears nothing and says nothing; when it is up again it listens at the
// pending speed, if any. Its factory EEPROM contents are what the profile put in the range.
//
// Thread contract: not thread-safe, except raiseIndication(), which any thread may call at
// any time. The channel that drives the camera serialises every other call, and tests look
// at it while the line is quiet.
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/clock.hpp"
#include "eeprom/image.hpp"
#include "eeprom/range.hpp"
#include "link/byte_channel.hpp"
#include "sim/afp_responder.hpp"
#include "sim/eap_responder.hpp"
#include "sim/faults.hpp"
#include "sim/frame_log.hpp"
#include "sim/profile.hpp"
#include "sim/register_memory.hpp"
#include "sim/responder.hpp"

namespace orva::sim {

// What the camera sends of its own accord after a "#W" or "#w" write, once it has acted on it.
inline constexpr std::string_view kArrivalMessage = "<ARRIVE>";

// What goes back for one character.
struct Heard {
  std::vector<std::uint8_t> answer;
  std::chrono::milliseconds delay{};  // how much later than normal the answer starts
  bool hungUp = false;                // the line is gone: no answer, now or ever
};

// Bytes the camera sends of its own accord.
struct CameraOutput {
  core::Clock::time_point at;  // when they start to leave the camera
  std::vector<std::uint8_t> bytes;
};

class VirtualCamera {
 public:
  using time_point = core::Clock::time_point;
  // Called after the character whose frame wrote `write.address` has been answered, so a
  // write may change how the camera answers from the next character on.
  using WriteHook = std::function<void(VirtualCamera&, const MemoryWrite& write)>;
  // Called, like a write hook, after an AFP set of the function was accepted.
  using FunctionHook = std::function<void(VirtualCamera&, const FunctionSet& set)>;
  // Answers an AFP get of the function: the value digits as a set carries them.
  using FunctionGetHook = std::function<std::string(const VirtualCamera&)>;
  // The same for a function that holds a table: it sees the get's value digits as asked, so
  // it can answer the entry their index names.
  using TableGetHook = std::function<std::string(const VirtualCamera&, std::string_view asked)>;
  // Called each time the camera's time has moved on, with now() the new time.
  using TimeHook = std::function<void(VirtualCamera&)>;
  // Called as a restart begins: the camera reloads what it keeps in RAM.
  using RestartHook = std::function<void(VirtualCamera&)>;
  // Asked before an indication goes out; false holds it back for good.
  using IndicationGate = std::function<bool(const VirtualCamera&, std::uint8_t kind, std::uint8_t value)>;

  explicit VirtualCamera(const Profile& profile, std::vector<Fault> faults = {});
  VirtualCamera(const VirtualCamera&) = delete;
  VirtualCamera& operator=(const VirtualCamera&) = delete;

  // One character has fully arrived from the tool, at the camera's current time.
  Heard hear(std::uint8_t c);

  // The camera's time moves on to `now` (never back): completions fall due, a protocol
  // switch waiting for one happens, a restart ends.
  void advanceTo(time_point now);
  time_point now() const { return now_; }
  // When the camera next sends something of its own accord, or next wants its time moved on
  // (wakeAt); none when nothing is due.
  std::optional<time_point> nextOutputTime() const;
  // What the camera sent of its own accord since the last call, in order.
  std::vector<CameraOutput> takeOutput();

  // Raises the indication "I" KIND VALUE "T" (KIND and VALUE are hex digits, 0-15). It goes
  // out at the camera's time when the channel admits it, at once when the channel has asked
  // for attention. Dropped while the camera speaks EAP, restarts or has hung up, and when a
  // gate holds it back (the IR direction notification, ir_filter.hpp). Any thread
  // may call this, except from inside a hook (the channel is busy with this camera then).
  void raiseIndication(std::uint8_t kind, std::uint8_t value);
  // Sends the indications raised since the last call that every gate lets through.
  void admitIndications();
  // Called on the raising thread after each raiseIndication(); empty: nobody to tell.
  void setAttention(std::function<void()> attention);

  // The tool raised DTR (opened the line); on a pty, changed its line speed.
  void lineRaised();
  // Whether lineRaised() does anything: a pty channel then watches the tool's speed.
  bool answersLineRaised() const { return faults_.has(FaultKind::Stray); }
  // Whether the camera shows the fault (for the parts that act on one of their own).
  bool hasFault(FaultKind kind) const { return faults_.has(kind); }
  // How long the tool's adapter holds answers back before it passes them on, in lumps.
  std::optional<std::chrono::milliseconds> deliveryLatency() const;

  const link::LineSettings& settings() const { return settings_; }
  void setSettings(const link::LineSettings& settings) { settings_ = settings; }
  // Settings that take effect when the camera is up again after its next restart.
  const std::optional<link::LineSettings>& pendingSettings() const { return pending_; }
  void setPendingSettings(const link::LineSettings& settings) { pending_ = settings; }
  Protocol protocol() const { return protocol_; }
  // Switches once the commands in progress have completed (at once when none is).
  void switchProtocol(Protocol protocol);
  // Restarts once the character in hand is answered: an EAP camera withholds that
  // character's echo, an AFP one has sent its R. Pending completions are forgotten.
  void restart();
  bool restarting() const { return restarting_; }
  bool hungUp() const { return hangUpFault_.has_value(); }
  // The fault that took the line away; none while the line is up.
  const std::optional<Fault>& hangUpFault() const { return hangUpFault_; }

  // The profile's EEPROM range; none when the camera has no EEPROM.
  const std::optional<eeprom::Range>& eepromRange() const { return eepromRange_; }
  // The range's contents as the camera started; empty without a range.
  const eeprom::Image& factoryContents() const { return factory_; }
  // The range's contents now; empty without a range.
  eeprom::Image eepromContents() const;
  // Starts a factory default, or carries on with the one in progress (camera_controls.hpp).
  void factoryDefault();
  bool factoryBusy() const { return factoryBusy_; }

  // The model code of the camera the profile built; none for a profile without a model.
  const std::optional<std::uint16_t>& modelCode() const { return modelCode_; }

  RegisterMemory& memory() { return memory_; }
  const RegisterMemory& memory() const { return memory_; }
  // The body of the latest EAP frame the camera took that began with `head`, its first
  // character and kind letter ("#W", ":W", "[R", "/M"); none before the first.
  std::optional<std::string> lastEapFrame(std::string_view head) const;

  FrameLog& frameLog() { return log_; }
  const FrameLog& frameLog() const { return log_; }

  // For a hook: takes what the frame in hand would send of its own accord later (an AFP set's
  // completion, the arrival message after a "#" write) away from the timers, so the hook's
  // part can send it when its work is done (sendNow); empty when there is none.
  std::vector<std::uint8_t> takeOverOwnAccord();
  // Sends bytes of the camera's own accord at its current time.
  void sendNow(std::vector<std::uint8_t> bytes) { send(std::move(bytes)); }
  // Asks for the camera's time to be moved on to `at` (a lens move's end), though nothing is
  // due to be sent then.
  void wakeAt(time_point at);

  void onWrite(std::uint16_t address, WriteHook hook);
  void onFunctionSet(std::uint16_t code, FunctionHook hook);
  void onFunctionGet(std::uint16_t code, FunctionGetHook hook);
  void onTableGet(std::uint16_t code, TableGetHook hook);
  void onTime(TimeHook hook);
  void onRestart(RestartHook hook);
  void onIndication(IndicationGate gate);

 private:
  enum class TimerJob { Send, SwitchProtocol, EndFactoryDefault, Wake };
  struct Timer {
    time_point at;
    std::vector<std::uint8_t> bytes;  // to send
    TimerJob job = TimerJob::Send;
    Protocol switchTo = Protocol::Eap;
    std::uint64_t id = 0;  // the own-accord message of a frame; 0 for the others
  };
  struct Indication {
    std::uint8_t kind;
    std::uint8_t value;
  };

  Responder& responder();
  void runHooks(const Reply& reply);
  void schedule(Timer timer);
  void send(std::vector<std::uint8_t> bytes);
  void beginRestart();
  void speak(Protocol protocol);
  void endFactoryDefault();

  link::LineSettings settings_;
  std::optional<link::LineSettings> pending_;
  Protocol protocol_;
  RegisterMemory memory_;
  EapResponder eap_{memory_};
  AfpResponder afp_;
  FaultInjector faults_;
  FrameLog log_;
  std::map<std::string, std::string, std::less<>> eapFrames_;  // by head
  std::vector<std::pair<std::uint16_t, WriteHook>> writeHooks_;
  std::vector<std::pair<std::uint16_t, FunctionHook>> functionHooks_;
  std::vector<TimeHook> timeHooks_;
  std::vector<RestartHook> restartHooks_;
  std::vector<IndicationGate> indicationGates_;

  std::chrono::milliseconds completionDelay_;
  std::chrono::milliseconds restartTime_;
  std::chrono::milliseconds factoryTime_;
  std::optional<eeprom::Range> eepromRange_;
  std::optional<std::uint16_t> modelCode_;
  eeprom::Image factory_;
  bool factoryBusy_ = false;
  time_point now_{};
  std::deque<Timer> timers_;  // in time order
  std::vector<CameraOutput> output_;
  bool hearing_ = false;
  std::uint64_t lastId_ = 0;
  std::uint64_t inHand_ = 0;  // the id of the frame in hand's own-accord message, 0: none
  bool restartAsked_ = false;
  bool restarting_ = false;
  time_point upAgainAt_{};
  std::optional<Fault> hangUpFault_;

  std::mutex raisedMutex_;  // guards raised_ and attention_
  std::vector<Indication> raised_;
  std::function<void()> attention_;
};

}  // namespace orva::sim
