#include "link/afp.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "link/afp_frames.hpp"
#include "link/afp_replies.hpp"
#include "link/afp_typed.hpp"

namespace orva::link {

using namespace std::chrono_literals;
using core::EchoMode;

namespace {

constexpr auto kReplyLimit = 1000ms;       // an R or Y reply comes within this or the line failed
constexpr auto kCompletionLimit = 5000ms;  // a set whose X does not come by then counts as done
constexpr auto kReceivePoll = 1000ms;      // one wait of the receive thread for a byte (a stop ends it at once)
constexpr std::size_t kCodeLength = 4;

bool isTabbed(char c) { return c == 'R' || c == 'X' || c == 'Y' || c == 'I'; }

// A shown frame goes to the camera pane one character at a time, as it came.
void showFrame(core::MonitorSink& m, const AfpFrame& f) {
  if (f.kind == AfpFrameKind::I) m.appendCamera("\r\n");
  for (const char& c : f.text) {
    const std::string_view one(&c, 1);
    m.appendCamera(one);
    if (isTabbed(c)) m.writeLog("\t\t\t");
    m.writeLog(one);
  }
}

}  // namespace

struct Afp::State {
  explicit State(Link& l) : link(l), typed(l) {}

  Link& link;

  std::mutex mutex;                     // guards store, fault and receiving
  std::condition_variable_any changed;  // a frame came, a fault was seen or the receiver ended
  AfpReplyStore store;
  bool fault = false;  // a read failure, "Z", garbage or a flood since the command began
  bool receiving = false;

  std::atomic<int> lastStatus{0};
  AfpTypedExchange typed;  // under the command lock

  std::mutex handlersMutex;
  std::map<int, IndicationHandler> handlers;
  int nextHandler = 1;
  std::function<void()> notifier;

  std::jthread receiver;  // under the command lock; last, so it goes first

  void startReceiver();
  void stopReceiver();
  void receive(std::stop_token stop, ByteChannel& line);
  void deliver(AfpFrame frame);
  void indicate(const AfpFrame& frame);
  void flagFault();

  bool showOnly(const std::string& frame);
  bool begin(const std::string& frame);
  bool await(const AfpReplyStore::Match& wanted, AfpFrame& got);
  bool awaitCompletion(const AfpFrame& acceptance);
  std::vector<AfpFrame> visible(std::vector<AfpFrame> taken);  // with mutex held
  void show(const std::vector<AfpFrame>& frames);
  bool fail(FaultKind kind);
};

// --- receive thread ---------------------------------------------------------------------

void Afp::State::startReceiver() {
  {
    std::lock_guard lock(mutex);
    if (receiving) return;
  }
  // One that ended by itself (bad byte, dead line) is joined before the next.
  if (receiver.joinable()) receiver.join();
  ByteChannel* line = link.channel();
  if (!line) return;
  // Another reader (a listener) leaves the line first.
  link.stopReader();
  {
    std::lock_guard lock(mutex);
    store.clearFrames();
    fault = false;
    receiving = true;
  }
  link.setReaderStop([this] { stopReceiver(); });
  receiver = std::jthread([this, line](std::stop_token stop) { receive(std::move(stop), *line); });
}

void Afp::State::stopReceiver() {
  auto lock = link.command();
  if (!receiver.joinable()) return;
  receiver.request_stop();
  receiver.join();
}

void Afp::State::flagFault() {
  std::lock_guard lock(mutex);
  fault = true;
  changed.notify_all();
}

void Afp::State::receive(std::stop_token stop, ByteChannel& line) {
  AfpFrameAssembler assembler;
  auto& clock = link.clock();
  // A typed character stops this thread through the command lock, like every other reader:
  // it never ends by itself while a command may be waiting for its reply.
  while (!stop.stop_requested()) {
    std::uint8_t byte = 0;
    const IoResult r = line.readByte(byte, core::Deadline(clock, kReceivePoll), stop);
    if (r == IoResult::Timeout) continue;
    if (r != IoResult::Ok) {
      // A failed line fails every read at once: stop rather than spin on it.
      if (r == IoResult::Error) {
        link.noteLineError(line.errorText());
        flagFault();
      }
      break;
    }
    AfpFeed fed = assembler.feed(byte);
    if (fed.fault != AfpByteFault::None) flagFault();
    if (fed.fault == AfpByteFault::Invalid) break;  // not a camera speaking AFP
    if (fed.frame) deliver(std::move(*fed.frame));
  }
  std::lock_guard lock(mutex);
  receiving = false;
  changed.notify_all();
}

void Afp::State::deliver(AfpFrame frame) {
  if (frame.kind == AfpFrameKind::I) return indicate(frame);
  const bool completion = frame.kind == AfpFrameKind::X;
  {
    std::lock_guard lock(mutex);
    // A flood pushed out the oldest frame: a command waiting now cannot trust what it gets.
    if (!store.add(std::move(frame))) fault = true;
    changed.notify_all();
  }
  if (!completion) return;
  std::function<void()> notify;
  {
    std::lock_guard lock(handlersMutex);
    notify = notifier;
  }
  if (notify) notify();
}

// Indications are shown and handed on as they come, apart from the replies a command waits for.
void Afp::State::indicate(const AfpFrame& frame) {
  bool shown = false;
  {
    std::lock_guard lock(mutex);
    shown = store.reveal(frame, link.monitor().echoMode() == EchoMode::Shown);
  }
  if (shown) showFrame(link.monitor(), frame);
  const AfpIndication indication{afp::digitValue(frame.first()), afp::digitValue(frame.second())};
  std::vector<IndicationHandler> calls;
  {
    std::lock_guard lock(handlersMutex);
    for (const auto& entry : handlers) calls.push_back(entry.second);
  }
  for (const auto& call : calls) call(indication);
}

// --- the sending side -------------------------------------------------------------------

std::vector<AfpFrame> Afp::State::visible(std::vector<AfpFrame> taken) {
  const bool echoShown = link.monitor().echoMode() == EchoMode::Shown;
  std::vector<AfpFrame> out;
  for (auto& f : taken)
    if (store.reveal(f, echoShown)) out.push_back(std::move(f));
  return out;
}

void Afp::State::show(const std::vector<AfpFrame>& frames) {
  for (const auto& f : frames) showFrame(link.monitor(), f);
}

bool Afp::State::fail(FaultKind kind) {
  link.reportFault(kind);
  link.reopen();  // stops and joins the receive thread first
  return false;
}

bool Afp::State::showOnly(const std::string& frame) {
  if (link.noCameraMode() != NoCameraMode::Absent) return false;
  if (link.monitor().echoMode() == EchoMode::Shown) link.monitor().appendPc(frame);
  return true;
}

bool Afp::State::begin(const std::string& frame) {
  if (!link.ensureOpen()) return false;
  std::vector<AfpFrame> stale;
  {
    std::lock_guard lock(mutex);
    fault = false;
    // An R or Y still here came before this frame was sent: it cannot be its answer.
    stale = visible(store.takeReplies());
  }
  show(stale);
  startReceiver();
  for (char c : frame)
    if (link.writeByte(static_cast<std::uint8_t>(c)) != IoResult::Ok) return fail(FaultKind::Write);
  return true;
}

bool Afp::State::await(const AfpReplyStore::Match& wanted, AfpFrame& got) {
  const auto deadline = link.clock().now() + kReplyLimit;
  bool answered = false;
  std::vector<AfpFrame> shown;
  {
    std::unique_lock lock(mutex);
    // A receive thread that has ended (bad byte, dead line) brings nothing more.
    link.clock().waitUntil(lock, changed, deadline, {}, [&] { return fault || !receiving || store.contains(wanted); });
    answered = !fault && store.contains(wanted);
    // Whatever came before the answer is shown and consumed; on a fault, everything is.
    auto taken = answered ? store.takeThrough(wanted) : store.takeAll();
    if (answered) got = taken.back();
    shown = visible(std::move(taken));
  }
  show(shown);
  return answered || fail(FaultKind::Read);
}

bool Afp::State::awaitCompletion(const AfpFrame& acceptance) {
  const std::uint32_t bit = acceptance.slotBit();
  const auto deadline = link.clock().now() + kCompletionLimit;
  bool done = false;
  int status = 0;
  std::vector<AfpFrame> shown;
  {
    std::unique_lock lock(mutex);
    link.clock().waitUntil(lock, changed, deadline, {}, [&] { return store.done(bit) || !receiving; });
    done = store.done(bit);
    if (done) {
      // The status was kept on arrival, in case a drain of late completions took the frame.
      status = store.completionStatus(acceptance.slotIndex());
      shown = visible(store.takeThrough([bit](const AfpFrame& f) { return f.kind == AfpFrameKind::X && f.slotBit() == bit; }));
    }
  }
  show(shown);
  if (!done) return true;  // the camera may complete later: not a failure
  lastStatus = status;
  return status == 0;
}

// --- Afp ----------------------------------------------------------------------------------

Afp::Afp(Link& link) : state_(std::make_unique<State>(link)), link_(link) {}

Afp::~Afp() {
  auto lock = link_.command();
  link_.setReaderStop({});
  state_->stopReceiver();
}

bool Afp::set(std::string_view payload, bool waitForCompletion) {
  auto lock = link_.command();
  const std::string frame = afp::setFrame(payload);
  if (state_->showOnly(frame)) return true;
  if (!state_->begin(frame)) return false;
  AfpFrame acceptance;
  if (!state_->await([](const AfpFrame& f) { return f.kind == AfpFrameKind::R; }, acceptance)) return false;
  state_->lastStatus = acceptance.status();
  if (acceptance.status() != 0) return false;
  if (!waitForCompletion) return true;
  return state_->awaitCompletion(acceptance);
}

bool Afp::get(std::string_view payload, std::string& reply) {
  auto lock = link_.command();
  const std::string frame = afp::getFrame(payload);
  if (state_->showOnly(frame)) {
    reply.clear();
    return true;
  }
  if (!state_->begin(frame)) return false;
  // Only the data of this function answers it; a late reply to another is shown and dropped.
  const std::string code(payload.substr(0, std::min(kCodeLength, payload.size())));
  const auto answers = [&code](const AfpFrame& f) {
    return (f.kind == AfpFrameKind::Y && f.code() == code) || (f.kind == AfpFrameKind::R && f.status() != 0);
  };
  AfpFrame answer;
  if (!state_->await(answers, answer)) return false;
  if (answer.kind == AfpFrameKind::R) {
    state_->lastStatus = answer.status();
    reply = answer.text.substr(1, answer.text.size() - 2);
    return false;
  }
  state_->lastStatus = 0;
  reply = answer.value();
  return true;
}

int Afp::lastStatus() const { return state_->lastStatus; }

bool Afp::exchangeTypedChar(char c) {
  auto lock = link_.command();
  if (!link_.typedLineReady()) return false;
  state_->stopReceiver();  // the answers are read by the exchange itself
  return state_->typed.exchange(c);
}

void Afp::receive() {
  auto lock = link_.command();
  if (link_.noCameraMode() == NoCameraMode::Absent || !link_.isOpen()) return;
  state_->startReceiver();
}

void Afp::setProtocolChoice(bool on) { state_->typed.setProtocolChoice(on); }

bool Afp::drainCompletions() {
  bool stopped = false;
  std::vector<AfpFrame> shown;
  {
    std::lock_guard lock(state_->mutex);
    shown = state_->visible(state_->store.takeCompletions(stopped));
  }
  state_->show(shown);
  return !stopped;
}

int Afp::subscribeIndications(IndicationHandler handler) {
  std::lock_guard lock(state_->handlersMutex);
  const int id = state_->nextHandler++;
  state_->handlers.emplace(id, std::move(handler));
  return id;
}

void Afp::unsubscribeIndications(int id) {
  std::lock_guard lock(state_->handlersMutex);
  state_->handlers.erase(id);
}

void Afp::setCompletionNotifier(std::function<void()> notify) {
  std::lock_guard lock(state_->handlersMutex);
  state_->notifier = std::move(notify);
}

void Afp::stopReceiver() { state_->stopReceiver(); }

}  // namespace orva::link
