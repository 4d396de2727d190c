#include "shell/monitor.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "shell/texts.hpp"

namespace orva::shell {
namespace {

// Command frames, and the AFP set and get frames on the PC side, begin a fresh pane line.
bool startsFrame(char c) {
  switch (c) {
    case ':': case ';': case '#': case '[': case ']': case '/': return true;
    default: return false;
  }
}
bool startsPcLine(char c) { return startsFrame(c) || c == 'S' || c == 'G'; }
bool startsAfpReply(char c) { return c == 'R' || c == 'X' || c == 'Y'; }

// The panes show text, not bytes: a NUL from the line ends what they show of a call.
std::string_view paneText(std::string_view text) { return text.substr(0, text.find('\0')); }
char firstOf(std::string_view text) { return text.empty() ? '\0' : text.front(); }

}  // namespace

Monitor::Monitor() : Monitor(systemClock_) {}

Monitor::Monitor(const core::WallClock& clock, std::size_t paneLimit)
    : pc_(paneLimit),
      camera_(paneLimit),
      view_(kDefaultCharWidth, kDefaultLineHeight, kDefaultClientWidth, kDefaultClientHeight),
      log_(clock) {}

Monitor::~Monitor() = default;

void Monitor::appendPc(std::string_view text, std::size_t modelLength) {
  std::unique_lock lock(mutex_);
  const std::string_view shown = paneText(text);
  if (startsPcLine(firstOf(shown))) insert(Side::Pc, "\r\n");
  insert(Side::Pc, shown);
  insertBreaks(Side::Camera, lineDifference(Side::Pc));
  feedModel(text.substr(0, std::min(modelLength, text.size())));
  finish(lock);
}

void Monitor::appendCamera(std::string_view text) {
  std::unique_lock lock(mutex_);
  const std::string_view shown = paneText(text);
  const char first = firstOf(shown);
  if (afp_) {
    // A reply starts a line of its own, unless the empty lines added for the PC side already
    // started one or the operator's typed character is being echoed.
    const auto lines = static_cast<std::ptrdiff_t>(camera_.lineCount());
    if (startsAfpReply(first) && !typed_.load() && lines == lastCameraLines_) insert(Side::Camera, "\r\n");
    lastCameraLines_ = lines;
  }
  // Bytes that continue the current line are not fed to the model: the PC side already
  // counted that line.
  if (echo_.load() != core::EchoMode::Hidden && lineDifference(Side::Camera) != 0) {
    if (startsFrame(first)) insert(Side::Camera, "\r\n");
    insert(Side::Camera, shown);
    insertBreaks(Side::Pc, lineDifference(Side::Camera));
    feedModel(text);
  } else {
    insert(Side::Camera, shown);
  }
  finish(lock);
}

void Monitor::appendModelOnly(std::string_view text) {
  std::unique_lock lock(mutex_);
  feedModel(text);
  finish(lock);
}

void Monitor::writeLog(std::string_view text) { log_.write(text); }

void Monitor::setStatusLine(std::string_view text) {
  std::unique_lock lock(mutex_);
  statusLine_ = text;
  post(Event{Event::Kind::StatusLine, Side::Pc, statusLine_, {}, {}, 0});
  finish(lock);
}

void Monitor::beep() {
  std::unique_lock lock(mutex_);
  post(Event{Event::Kind::Beep, Side::Pc, {}, {}, {}, 0});
  finish(lock);
}

void Monitor::setAfpVariant(bool afp) {
  std::lock_guard lock(mutex_);
  afp_ = afp;
}

void Monitor::setPrompt(core::Prompt* prompt) {
  std::lock_guard lock(mutex_);
  prompt_ = prompt;
}

void Monitor::clearScreen() {
  std::unique_lock lock(mutex_);
  clearLocked();
  resetLocked();
  finish(lock);
}

void Monitor::reset() {
  std::unique_lock lock(mutex_);
  resetLocked();
  finish(lock);
}

void Monitor::setFontMetrics(int charWidth, int lineHeight) {
  std::lock_guard lock(mutex_);
  view_.setFontMetrics(charWidth, lineHeight);
}

void Monitor::resize(int clientWidth, int clientHeight) {
  std::unique_lock lock(mutex_);
  view_.resize(clientWidth, clientHeight, pc_.lineCount());
  postView({});
  finish(lock);
}

void Monitor::scrollVertical(ScrollRequest request, int thumb) {
  std::unique_lock lock(mutex_);
  postView(view_.scrollVertical(request, thumb, pc_.lineCount()));
  finish(lock);
}

void Monitor::scrollHorizontal(ScrollRequest request, int thumb) {
  std::unique_lock lock(mutex_);
  postView(view_.scrollHorizontal(request, thumb));
  finish(lock);
}

core::Result<std::filesystem::path> Monitor::openLog(const std::filesystem::path& folder, core::Prompt* prompt) {
  auto opened = log_.open(folder);
  if (opened.failed()) {
    appendPc(fmt::format("\r\n-- {} --", opened.message()));
    if (prompt != nullptr) prompt->message(texts::kLogNotMade, texts::kLogNotMadeTitle, core::Icon::Exclamation);
  }
  return opened;
}

MonitorSnapshot Monitor::snapshot() const {
  std::lock_guard lock(mutex_);
  return snapshotLocked();
}

MonitorSnapshot Monitor::subscribe(MonitorObserver& observer) {
  std::lock_guard lock(mutex_);
  subscribers_.push_back(Subscriber{&observer, nextSeq_});
  mergeFloor_ = nextSeq_;
  return snapshotLocked();
}

void Monitor::unsubscribe(MonitorObserver& observer) {
  std::unique_lock lock(mutex_);
  std::erase_if(subscribers_, [&](const Subscriber& s) { return s.observer == &observer; });
  // The delivering thread itself must not wait for the callback it is inside of; it stops
  // handing the rest of its batch to the observer instead.
  if (draining_ && drainer_ == std::this_thread::get_id()) {
    if (calling_ == &observer) callingLeft_ = true;
    return;
  }
  ++waiting_;
  callbackDone_.wait(lock, [&] { return calling_ != &observer; });
  --waiting_;
}

// ---- under the lock

void Monitor::insert(Side side, std::string_view text) {
  if (text.empty()) return;
  const std::size_t count = pane(side).append(text);
  if (count > 0) post(Event{Event::Kind::Appended, side, std::string(text.substr(0, count)), {}, {}, 0});
  if (count < text.size() && prompt_ != nullptr && !questionOpen_) askPending_ = true;
}

void Monitor::insertBreaks(Side side, std::ptrdiff_t count) {
  if (count <= 0) return;
  // Build only what can fit, plus one break so that a full pane still reports the cut.
  const std::size_t fits = pane(side).room() / 2 + 1;
  const std::size_t n = std::min(static_cast<std::size_t>(count), fits);
  std::string breaks;
  breaks.reserve(2 * n);
  for (std::size_t i = 0; i < n; ++i) breaks += "\r\n";
  insert(side, breaks);
}

std::ptrdiff_t Monitor::lineDifference(Side ahead) const {
  const auto pc = static_cast<std::ptrdiff_t>(pc_.lineCount());
  const auto camera = static_cast<std::ptrdiff_t>(camera_.lineCount());
  return ahead == Side::Pc ? pc - camera : camera - pc;
}

void Monitor::feedModel(std::string_view bytes) {
  for (const char byte : bytes) {
    switch (cursor_.put(byte)) {
      case CursorModel::Step::None: break;
      case CursorModel::Step::Beep: post(Event{Event::Kind::Beep, Side::Pc, {}, {}, {}, 0}); break;
      case CursorModel::Step::NewLineAtBottom:
        for (const Side side : {Side::Pc, Side::Camera}) {
          if (pane(side).deleteFirstLine()) post(Event{Event::Kind::FirstLineDeleted, side, {}, {}, {}, 0});
        }
        [[fallthrough]];
      case CursorModel::Step::NewLine:
        if (const ViewMove move = view_.follow(cursor_.row(), pc_.lineCount()); !move.empty()) postView(move);
        break;
    }
  }
}

void Monitor::clearLocked() {
  pc_.clear();
  camera_.clear();
  post(Event{Event::Kind::Cleared, Side::Pc, {}, {}, {}, 0});
}

void Monitor::resetLocked() {
  cursor_.home();
  view_.reset(pc_.lineCount());
  post(Event{Event::Kind::Reset, Side::Pc, {}, {}, view_.state(), 0});
}

void Monitor::post(Event event) {
  // Nobody to tell: skip the copy, which matters at one call per byte of traffic.
  if (subscribers_.empty()) return;
  // Text that follows text on the same side travels as one event, unless an observer
  // subscribed in between and must not see the earlier part twice.
  if (event.kind == Event::Kind::Appended && !events_.empty()) {
    Event& last = events_.back();
    if (last.kind == Event::Kind::Appended && last.side == event.side && last.seq >= mergeFloor_) {
      last.text += event.text;
      return;
    }
  }
  event.seq = nextSeq_++;
  events_.push_back(std::move(event));
}

void Monitor::postView(const ViewMove& move) {
  post(Event{Event::Kind::ViewMoved, Side::Pc, {}, move, view_.state(), 0});
}

MonitorSnapshot Monitor::snapshotLocked() const {
  return MonitorSnapshot{std::string(pc_.text()), std::string(camera_.text()), statusLine_,
                         cursor_.row(), cursor_.column(), view_.state()};
}

const Monitor::Subscriber* Monitor::findSubscriber(const MonitorObserver* observer) const {
  const auto it = std::find_if(subscribers_.begin(), subscribers_.end(),
                               [&](const Subscriber& s) { return s.observer == observer; });
  return it == subscribers_.end() ? nullptr : &*it;
}

// ---- delivery

void Monitor::finish(std::unique_lock<std::mutex>& lock) {
  // Whoever delivers also asks, after its queue is empty; a call nested in a callback, or one
  // made while another thread delivers, leaves both to that thread.
  while (!draining_) {
    draining_ = true;
    drainer_ = std::this_thread::get_id();
    deliverQueued(lock);
    draining_ = false;

    core::Prompt* prompt = prompt_;
    if (!askPending_ || prompt == nullptr) {
      askPending_ = false;
      return;
    }
    askPending_ = false;
    questionOpen_ = true;
    lock.unlock();
    const core::Answer answer =
        prompt->ask(texts::kBufferFull, texts::kBufferFullTitle, core::Buttons::OkCancel, core::Icon::Question);
    lock.lock();
    questionOpen_ = false;
    if (answer == core::Answer::Ok) {
      clearLocked();
      resetLocked();
    }
  }
}

void Monitor::deliverQueued(std::unique_lock<std::mutex>& lock) {
  // Events go out in batches, one unlock per observer and batch, each observer in order.
  while (!events_.empty()) {
    std::swap(batch_, events_);
    delivering_ = subscribers_;
    for (const Subscriber& s : delivering_) {
      // It may have left, or left and come back with a later snapshot, in an earlier callback.
      const Subscriber* current = findSubscriber(s.observer);
      if (current == nullptr) continue;
      const std::uint64_t firstSeq = current->firstSeq;
      MonitorObserver& observer = *current->observer;
      calling_ = &observer;
      callingLeft_ = false;
      lock.unlock();
      for (const Event& event : batch_) {
        if (callingLeft_) break;
        if (event.seq >= firstSeq) dispatch(event, observer);
      }
      lock.lock();
      calling_ = nullptr;
      if (waiting_ > 0) callbackDone_.notify_all();
    }
    batch_.clear();
  }
}

void Monitor::dispatch(const Event& event, MonitorObserver& observer) {
  switch (event.kind) {
    case Event::Kind::Appended: observer.appended(event.side, event.text); break;
    case Event::Kind::FirstLineDeleted: observer.firstLineDeleted(event.side); break;
    case Event::Kind::Cleared: observer.cleared(); break;
    case Event::Kind::Reset: observer.reset(event.view); break;
    case Event::Kind::StatusLine: observer.statusLineChanged(event.text); break;
    case Event::Kind::Beep: observer.beep(); break;
    case Event::Kind::ViewMoved: observer.viewMoved(event.move, event.view); break;
  }
}

}  // namespace orva::shell
