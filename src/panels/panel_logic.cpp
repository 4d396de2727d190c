#include "panels/panel_logic.hpp"

#include <algorithm>

#include "panels/formats.hpp"
#include "panels/texts.hpp"

namespace orva::panels {
namespace {

bool choosesItem(ControlKind k) {
  return k == ControlKind::Check || k == ControlKind::Toggle || k == ControlKind::Radio || k == ControlKind::List;
}
bool twoStates(ControlKind k) { return k == ControlKind::Check || k == ControlKind::Toggle; }

// What a window is told while the open sequence reads off its thread: kept in order and played
// back onto the window on its own thread once the reads have ended.
class RecordingView final : public PanelView {
 public:
  void setText(ControlId c, std::string_view text) override {
    keep([c, t = std::string(text)](PanelView& v) { v.setText(c, t); });
  }
  void setValue(ControlId c, int value) override {
    keep([c, value](PanelView& v) { v.setValue(c, value); });
  }
  void setRange(ControlId c, int lo, int hi) override {
    keep([c, lo, hi](PanelView& v) { v.setRange(c, lo, hi); });
  }
  void setEnabled(ControlId c, bool on) override {
    keep([c, on](PanelView& v) { v.setEnabled(c, on); });
  }
  void setShown(ControlId c, bool on) override {
    keep([c, on](PanelView& v) { v.setShown(c, on); });
  }
  void setCaption(ControlId c, std::string_view text) override {
    keep([c, t = std::string(text)](PanelView& v) { v.setCaption(c, t); });
  }
  void setItemCaption(ControlId c, std::size_t item, std::string_view text) override {
    keep([c, item, t = std::string(text)](PanelView& v) { v.setItemCaption(c, item, t); });
  }
  void setItemEnabled(ControlId c, std::size_t item, bool on) override {
    keep([c, item, on](PanelView& v) { v.setItemEnabled(c, item, on); });
  }
  void beep() override {
    keep([](PanelView& v) { v.beep(); });
  }
  void startTimer(int timer, std::chrono::milliseconds interval) override {
    keep([timer, interval](PanelView& v) { v.startTimer(timer, interval); });
  }
  void stopTimer(int timer) override {
    keep([timer](PanelView& v) { v.stopTimer(timer); });
  }
  void close(CloseReason reason) override {
    keep([reason](PanelView& v) { v.close(reason); });
  }

  void playTo(PanelView& view) {
    for (auto& call : calls_) call(view);
    calls_.clear();
  }

 private:
  void keep(std::function<void(PanelView&)> call) { calls_.push_back(std::move(call)); }
  std::vector<std::function<void(PanelView&)>> calls_;
};

// A value held in `bits` bits as the signed number it stands for.
std::int64_t signedValue(std::uint32_t value, int bits) {
  const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
  const std::uint64_t v = value & ((sign << 1) - 1);
  return static_cast<std::int64_t>(v ^ sign) - static_cast<std::int64_t>(sign);
}

}  // namespace

PanelLogic::PanelLogic(const PanelDescription& description, PanelContext& context, PanelView& view)
    : description_(description), context_(context), view_(&view), window_(view) {
  states_.reserve(description.controls.size());
  for (const ControlDescription& d : description.controls) {
    State s;
    s.description = &d;
    // Fresh buttons: no arrow is held when a panel opens.
    if (d.kind == ControlKind::Arrow && d.hold != nullptr)
      s.hold = std::make_unique<HoldButton>(*d.hold, context.camera, context.clock, context.runner);
    states_.push_back(std::move(s));
  }
}

PanelLogic::~PanelLogic() = default;

PanelLogic::State* PanelLogic::find(ControlId control) {
  auto it = std::find_if(states_.begin(), states_.end(), [control](const State& s) {
    return s.description->id == control;
  });
  return it == states_.end() ? nullptr : &*it;
}

const PanelLogic::State* PanelLogic::find(ControlId control) const {
  auto it = std::find_if(states_.begin(), states_.end(), [control](const State& s) {
    return s.description->id == control;
  });
  return it == states_.end() ? nullptr : &*it;
}

bool PanelLogic::open() {
  if (opened_ || closed_) return false;
  opened_ = true;
  if (description_.checksPort && !context_.portOpen()) {
    context_.prompt.message(texts::kSetPort, texts::kAttention, core::Icon::Exclamation);
    finish(CloseReason::PortClosed);
    return false;
  }
  if (!description_.heading.empty()) context_.monitor.heading(headingText(description_.heading));
  // Captions and ranges come before any read (the speed captions before the speed setting).
  for (State& s : states_) prepare(s);
  bool read = false;
  if (context_.lineWork) {
    // The window keeps painting while the reads run on another thread; what they show reaches
    // it afterwards, on its own thread, in the order it was shown.
    RecordingView recorder;
    view_ = &recorder;
    context_.lineWork([this, &read] { read = readAll(); });
    view_ = &window_;
    recorder.playTo(window_);
  } else {
    read = readAll();
  }
  if (!read) {
    finish(CloseReason::ReadFailed);
    return false;
  }
  return isOpen();
}

bool PanelLogic::readAll() {
  for (State& s : states_) {
    const ControlDescription& d = *s.description;
    // A control the model does not show may have no setting on this camera: it is not read.
    if (!d.binding || !d.readOnOpen || !s.shown || d.kind == ControlKind::Button) continue;
    if (!read(s)) return false;
    show(s);
  }
  return readOnOpen() && isOpen();
}

void PanelLogic::prepare(State& s) {
  const ControlDescription& d = *s.description;
  const auto protocol = context_.camera.protocol();
  if (d.itemCaptions != nullptr) {
    s.itemCaptions = d.itemCaptions(context_.model);
    for (std::size_t i = 0; i < s.itemCaptions.size(); ++i) view_->setItemCaption(d.id, i, s.itemCaptions[i]);
  }
  if (d.kind == ControlKind::Slider || d.kind == ControlKind::Stepper)
    view_->setRange(d.id, static_cast<int>(d.minimum), static_cast<int>(d.maximum));
  if (d.shownWhen != nullptr) {
    s.shown = d.shownWhen(context_.model, protocol);
    view_->setShown(d.id, s.shown);
  }
  if (d.enabledWhen != nullptr) {
    s.enabled = d.enabledWhen(context_.model, protocol);
    view_->setEnabled(d.id, s.enabled);
  }
}

int PanelLogic::itemOf(const ControlDescription& d, std::uint32_t value) const {
  const auto protocol = context_.camera.protocol();
  if (twoStates(d.kind)) return value == d.on.in(protocol) ? 1 : 0;
  for (std::size_t i = 0; i < d.choices.size(); ++i)
    if (d.choices[i].value.in(protocol) == value) return static_cast<int>(i);
  return d.otherwise;
}

bool PanelLogic::read(State& s) {
  std::uint32_t value = 0;
  if (!context_.camera.read(settingFor(*s.description), value)) return false;
  take(s, value);
  return true;
}

bool PanelLogic::masks(const Binding& b) const {
  // A register the AFP gateway carries is the same register, with the same bits.
  return b.eapMask != 0 && (context_.camera.protocol() == link::Protocol::Eap || b.setting.afpCode == 0);
}

void PanelLogic::take(State& s, std::uint32_t value) {
  const ControlDescription& d = *s.description;
  if (choosesItem(d.kind)) {
    if (d.binding && masks(*d.binding)) value &= d.binding->eapMask;
    s.selected = itemOf(d, value);
  } else {
    s.number = value;
    s.typed.reset();
  }
  s.known = true;
}

void PanelLogic::present(ControlId control, std::uint32_t cameraValue) {
  State* s = find(control);
  if (s == nullptr || !isOpen()) return;
  take(*s, cameraValue);
  show(*s);
}

bool PanelLogic::refresh(ControlId control) {
  State* s = find(control);
  if (s == nullptr || !isOpen() || !s->description->binding) return false;
  if (!read(*s)) return false;
  show(*s);
  return true;
}

void PanelLogic::setControlEnabled(ControlId control, bool enabled) {
  State* s = find(control);
  if (s == nullptr) return;
  s->enabled = enabled;
  if (!enabled && s->hold) s->hold->release();
  view_->setEnabled(control, enabled);
}

void PanelLogic::setControlShown(ControlId control, bool shown) {
  State* s = find(control);
  if (s == nullptr) return;
  s->shown = shown;
  if (!shown && s->hold) s->hold->release();
  view_->setShown(control, shown);
}

bool PanelLogic::offered(ControlId control) const {
  const State* s = find(control);
  return s != nullptr && s->enabled && s->shown;
}

bool PanelLogic::startOperation(Operation op) {
  if (!isOpen()) return false;
  op.panel = token();
  return context_.runner.start(std::move(op));
}

void PanelLogic::show(const State& s) {
  if (!s.known) return;
  const ControlDescription& d = *s.description;
  switch (d.kind) {
    case ControlKind::Check:
    case ControlKind::Toggle:
      view_->setValue(d.id, s.selected);
      if (!d.onCaption.empty() || !d.offCaption.empty())
        view_->setCaption(d.id, s.selected == 1 ? d.onCaption : d.offCaption);
      break;
    case ControlKind::Radio:
    case ControlKind::List: view_->setValue(d.id, s.selected); break;
    case ControlKind::Slider: view_->setValue(d.id, static_cast<int>(*s.number)); break;
    case ControlKind::Entry:
    case ControlKind::Stepper:
    case ControlKind::Readout: view_->setText(d.id, formatValue(d.format, *s.number / d.scale)); break;
    default: break;
  }
}

void PanelLogic::intent(const Intent& in) {
  if (!isOpen()) return;
  State* s = in.kind == Intent::Kind::Tick ? nullptr : find(in.control);
  std::optional<OperationRunner::Claim> claim;
  if (s != nullptr && s->description->takesSlot && in.kind != Intent::Kind::Release) {
    auto taken = context_.runner.claim();
    if (!taken) return;
    claim.emplace(std::move(*taken));
  }
  struct Held {
    bool& flag;
    explicit Held(bool& f, bool on) : flag(f) { flag = on; }
    ~Held() { flag = false; }
  } held(slotHeld_, claim.has_value());
  if (handle(in)) return;
  // A tick no panel code took belongs to nobody.
  if (in.kind == Intent::Kind::Tick) return;
  if (s == nullptr || !s->enabled || !s->shown || s->description->readOnly) return;
  const ControlKind kind = s->description->kind;
  switch (in.kind) {
    case Intent::Kind::Toggle:
      if (twoStates(kind)) toggle(*s);
      break;
    case Intent::Kind::Choose: choose(*s, in.index); break;
    case Intent::Kind::Enter:
      if (kind == ControlKind::Entry) enter(*s, in.text);
      break;
    case Intent::Kind::Click: click(*s); break;
    case Intent::Kind::Press:
      if (s->hold) s->hold->press();
      break;
    case Intent::Kind::Release:
      if (s->hold) s->hold->release();
      break;
    case Intent::Kind::Step:
      if (kind == ControlKind::Stepper) step(*s, in.index);
      break;
    case Intent::Kind::Edit:
      if (kind == ControlKind::Entry) s->typed = in.text;
      break;
    case Intent::Kind::Tick: break;
  }
}

bool PanelLogic::slot(std::optional<OperationRunner::Claim>& claim) {
  if (slotHeld_) return true;
  auto taken = context_.runner.claim();
  if (taken) claim.emplace(std::move(*taken));
  return claim.has_value();
}

bool PanelLogic::writeItem(const State& s, ProtocolValue value) {
  const Binding& b = *s.description->binding;
  const camera::Setting setting = settingFor(*s.description);
  const auto protocol = context_.camera.protocol();
  std::uint32_t v = value.in(protocol);
  if (masks(b)) {
    // The register's other bits belong to other settings: they are written back as read.
    std::uint32_t now = 0;
    if (!context_.camera.read(setting, now)) return false;
    v = (now & ~b.eapMask) | (v & b.eapMask);
  }
  return context_.camera.write(setting, v);
}

void PanelLogic::heading(const State& s, int item, HeadingWhen when) {
  const ControlDescription& d = *s.description;
  if (d.headingWhen != when) return;
  std::string text(d.heading);
  if (item >= 0) {
    const auto i = static_cast<std::size_t>(item);
    if (d.headingItem == HeadingItem::Choice && i < d.choices.size()) {
      text += d.choices[i].heading;
    } else if (d.headingItem == HeadingItem::Caption) {
      if (twoStates(d.kind)) text += item == 1 ? d.onCaption : d.offCaption;
      else if (i < s.itemCaptions.size()) text += s.itemCaptions[i];
      else if (i < d.choices.size()) text += d.choices[i].caption;
    }
  }
  if (!text.empty()) context_.monitor.heading(headingText(text));
}

void PanelLogic::written(State& s, bool ok, int item, const std::function<void()>& commit) {
  const ControlDescription& d = *s.description;
  if (!ok && d.onFailure == OnWriteFailure::ClosePanel) {
    finish(CloseReason::WriteFailed);
    return;
  }
  if (ok || d.onFailure == OnWriteFailure::ShowOperator) {
    commit();
    s.known = true;
  }
  show(s);
  if (!ok) return;
  heading(s, item, HeadingWhen::AfterWrite);
  afterWrite(d.id);
}

// A choice of the panel's own: kept and shown, written nowhere.
void PanelLogic::chooseLocally(State& s, int item) {
  if (s.known && s.selected == item) return;
  heading(s, item, HeadingWhen::BeforeWrite);
  s.selected = item;
  s.known = true;
  show(s);
  heading(s, item, HeadingWhen::AfterWrite);
  afterWrite(s.description->id);
}

bool PanelLogic::adjustLevel(ControlId entry, int steps, const std::function<std::uint32_t(std::uint32_t)>& next) {
  State* s = find(entry);
  if (s == nullptr || !isOpen() || !s->description->binding || !s->number) return false;
  std::optional<OperationRunner::Claim> claim;
  if (!slot(claim)) return true;
  for (int i = 0; i < steps; ++i) {
    const std::uint32_t value = next(*s->number);
    if (!context_.camera.write(settingFor(*s->description), value)) {
      finish(CloseReason::WriteFailed);
      return false;
    }
    s->number = value;
    s->typed.reset();
    show(*s);
  }
  return true;
}

void PanelLogic::toggle(State& s) {
  const ControlDescription& d = *s.description;
  if (!d.binding) {
    chooseLocally(s, s.selected == 1 ? 0 : 1);
    return;
  }
  std::optional<OperationRunner::Claim> claim;
  if (!slot(claim)) return;
  const int next = s.selected == 1 ? 0 : 1;
  heading(s, next, HeadingWhen::BeforeWrite);
  const bool ok = writeItem(s, next == 1 ? d.on : d.off);
  written(s, ok, next, [&s, next] { s.selected = next; });
}

void PanelLogic::choose(State& s, int index) {
  const ControlDescription& d = *s.description;
  const bool item = d.kind == ControlKind::Radio || d.kind == ControlKind::List;
  if (!d.binding) {
    if (item && index >= 0 && static_cast<std::size_t>(index) < d.choices.size()) chooseLocally(s, index);
    return;
  }
  if (item) {
    if (index < 0 || static_cast<std::size_t>(index) >= d.choices.size() || (s.known && index == s.selected)) return;
  } else if (d.kind == ControlKind::Slider) {
    if (index < d.minimum || index > d.maximum) return;
    if (s.known && s.number == static_cast<std::uint32_t>(index)) return;
  } else {
    return;
  }
  std::optional<OperationRunner::Claim> claim;
  if (!slot(claim)) return;
  const auto position = static_cast<std::uint32_t>(index);
  heading(s, item ? index : -1, HeadingWhen::BeforeWrite);
  const bool ok = item ? writeItem(s, d.choices[static_cast<std::size_t>(index)].value)
                       : context_.camera.write(settingFor(d), position);
  written(s, ok, item ? index : -1, [&s, item, index, position] {
    if (item) s.selected = index;
    else s.number = position;
  });
}

void PanelLogic::enter(State& s, std::string_view text) {
  const ControlDescription& d = *s.description;
  heading(s, -1, HeadingWhen::BeforeWrite);
  const auto value = parseEntry(d.format, text);
  if (!value || *value < d.minimum || *value > d.maximum) {
    if (!d.quietRefusal) view_->beep();
    return;
  }
  if (!d.binding) return;
  std::optional<OperationRunner::Claim> claim;
  if (!slot(claim)) return;
  const std::uint32_t held = *value * d.scale;
  const bool ok = context_.camera.write(settingFor(d), held);
  written(s, ok, -1, [&s, held] {
    s.number = held;
    s.typed.reset();
  });
}

void PanelLogic::step(State& s, int steps) {
  const ControlDescription& d = *s.description;
  if (!d.binding || steps == 0) return;
  const int bits = d.binding->setting.width;
  const std::uint32_t held = s.number.value_or(0);
  const std::int64_t now = d.minimum < 0 ? signedValue(held, bits) : static_cast<std::int64_t>(held);
  std::int64_t next = now + static_cast<std::int64_t>(steps) * static_cast<std::int64_t>(d.step);
  if (d.wrap) {
    const std::int64_t span = d.maximum - d.minimum + 1;
    next = d.minimum + (((next - d.minimum) % span) + span) % span;
  } else {
    next = std::clamp(next, d.minimum, d.maximum);
  }
  if (s.known && next == now) return;
  std::optional<OperationRunner::Claim> claim;
  if (!slot(claim)) return;
  const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
  const auto value = static_cast<std::uint32_t>(static_cast<std::uint64_t>(next) & mask);
  heading(s, -1, HeadingWhen::BeforeWrite);
  const bool ok = context_.camera.write(settingFor(d), value);
  written(s, ok, -1, [&s, value] { s.number = value; });
}

void PanelLogic::click(State& s) {
  const ControlDescription& d = *s.description;
  if (d.kind == ControlKind::Close) {
    close();
    return;
  }
  if (d.setsGroup) {
    setGroup(s);
    return;
  }
  if (d.kind != ControlKind::Button || d.target == 0) return;
  State* target = find(d.target);
  if (target == nullptr || !target->description->binding) return;
  std::optional<OperationRunner::Claim> claim;
  if (!slot(claim)) return;
  // A failed read changes nothing that is shown.
  if (read(*target)) show(*target);
}

void PanelLogic::close() {
  if (!isOpen()) {
    finish(CloseReason::Closed);
    return;
  }
  if (!description_.closingHeading.empty()) context_.monitor.heading(headingText(description_.closingHeading));
  finish(CloseReason::Closed);
}

void PanelLogic::finishWith(int result, std::optional<PanelId> next) {
  if (closed_) return;
  result_ = result;
  next_ = next;
  finish(CloseReason::Closed);
}

void PanelLogic::setGroup(const State& button) {
  const ControlDescription& b = *button.description;
  struct Sending {
    State* entry;
    std::uint32_t value;
  };
  std::vector<Sending> sending;
  bool refused = false;
  bool quiet = true;
  for (State& e : states_) {
    const ControlDescription& d = *e.description;
    if (d.kind != ControlKind::Entry || d.group != b.group || !d.binding || !e.enabled || !e.shown) continue;
    const std::string text = e.typed ? *e.typed : e.number ? formatValue(d.format, *e.number / d.scale) : std::string();
    const auto value = parseEntry(d.format, text);
    if (!value || *value < d.minimum || *value > d.maximum) {
      refused = true;
      quiet = quiet && d.quietRefusal;
      continue;
    }
    sending.push_back({&e, *value * d.scale});
  }
  heading(button, -1, HeadingWhen::BeforeWrite);
  if (refused) {
    if (!quiet) view_->beep();
    return;
  }
  std::optional<OperationRunner::Claim> claim;
  if (sending.empty() || !slot(claim)) return;
  for (const Sending& out : sending) {
    State& e = *out.entry;
    const bool ok = context_.camera.write(settingFor(*e.description), out.value);
    if (ok || e.description->onFailure == OnWriteFailure::ShowOperator) {
      e.number = out.value;
      e.known = true;
      e.typed.reset();
    }
    if (!ok && e.description->onFailure == OnWriteFailure::ClosePanel) {
      finish(CloseReason::WriteFailed);
      return;
    }
    show(e);
    // The rest of the group stays as it was: what failed is on the monitor.
    if (!ok) return;
  }
  heading(button, -1, HeadingWhen::AfterWrite);
  afterWrite(b.id);
}

void PanelLogic::finish(CloseReason reason) {
  if (closed_) return;
  closed_ = true;
  opened_ = true;
  closing();
  for (State& s : states_)
    if (s.hold) s.hold->close();
  lifetime_.close();
  view_->close(reason);
}

std::optional<int> PanelLogic::selected(ControlId control) const {
  const State* s = find(control);
  if (s == nullptr || !s->known || !choosesItem(s->description->kind)) return std::nullopt;
  return s->selected;
}

std::optional<std::uint32_t> PanelLogic::number(ControlId control) const {
  const State* s = find(control);
  if (s == nullptr || !s->known || choosesItem(s->description->kind)) return std::nullopt;
  return s->number;
}

}  // namespace orva::panels
