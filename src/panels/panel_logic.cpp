#include "panels/panel_logic.hpp"

#include <algorithm>

#include "panels/formats.hpp"
#include "panels/texts.hpp"

namespace orva::panels {
namespace {

bool choosesItem(ControlKind k) { return k == ControlKind::Check || k == ControlKind::Radio || k == ControlKind::List; }

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
  for (State& s : states_) {
    const ControlDescription& d = *s.description;
    // A control the model does not show may have no setting on this camera: it is not read.
    if (!d.binding || !d.readOnOpen || !s.shown || d.kind == ControlKind::Button) continue;
    if (!read(s)) {
      finish(CloseReason::ReadFailed);
      return false;
    }
    show(s);
  }
  if (!readOnOpen()) {
    finish(CloseReason::ReadFailed);
    return false;
  }
  return isOpen();
}

void PanelLogic::prepare(State& s) {
  const ControlDescription& d = *s.description;
  const auto protocol = context_.camera.protocol();
  if (d.itemCaptions != nullptr) {
    const auto captions = d.itemCaptions(context_.model);
    for (std::size_t i = 0; i < captions.size(); ++i) view_->setItemCaption(d.id, i, captions[i]);
  }
  if (d.kind == ControlKind::Slider)
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
  if (d.kind == ControlKind::Check) return value == d.on.in(protocol) ? 1 : 0;
  for (std::size_t i = 0; i < d.choices.size(); ++i)
    if (d.choices[i].value.in(protocol) == value) return static_cast<int>(i);
  return -1;
}

bool PanelLogic::read(State& s) {
  std::uint32_t value = 0;
  if (!context_.camera.read(s.description->binding->setting, value)) return false;
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
    case ControlKind::Radio:
    case ControlKind::List: view_->setValue(d.id, s.selected); break;
    case ControlKind::Slider: view_->setValue(d.id, static_cast<int>(*s.number)); break;
    case ControlKind::Entry:
    case ControlKind::Readout: view_->setText(d.id, formatValue(d.format, *s.number)); break;
    default: break;
  }
}

void PanelLogic::intent(const Intent& in) {
  if (!isOpen()) return;
  if (handle(in)) return;
  // A tick no panel code took belongs to nobody.
  if (in.kind == Intent::Kind::Tick) return;
  State* s = find(in.control);
  if (s == nullptr || !s->enabled || !s->shown) return;
  const ControlKind kind = s->description->kind;
  switch (in.kind) {
    case Intent::Kind::Toggle:
      if (kind == ControlKind::Check) toggle(*s);
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
    case Intent::Kind::Tick:
    case Intent::Kind::Step:
    case Intent::Kind::Edit: break;
  }
}

bool PanelLogic::writeItem(const State& s, ProtocolValue value) {
  const Binding& b = *s.description->binding;
  const auto protocol = context_.camera.protocol();
  std::uint32_t v = value.in(protocol);
  if (masks(b)) {
    // The register's other bits belong to other settings: they are written back as read.
    std::uint32_t now = 0;
    if (!context_.camera.read(b.setting, now)) return false;
    v = (now & ~b.eapMask) | (v & b.eapMask);
  }
  return context_.camera.write(b.setting, v);
}

void PanelLogic::toggle(State& s) {
  const ControlDescription& d = *s.description;
  if (!d.binding) return;
  const auto claim = context_.runner.claim();
  if (!claim) return;
  const int next = s.selected == 1 ? 0 : 1;
  const bool written = writeItem(s, next == 1 ? d.on : d.off);
  if (written || d.onFailure == OnWriteFailure::ShowOperator) {
    s.selected = next;
    s.known = true;
  }
  show(s);
  if (written) afterWrite(d.id);
}

void PanelLogic::choose(State& s, int index) {
  const ControlDescription& d = *s.description;
  if (!d.binding) return;
  const bool item = d.kind == ControlKind::Radio || d.kind == ControlKind::List;
  if (item) {
    if (index < 0 || static_cast<std::size_t>(index) >= d.choices.size() || (s.known && index == s.selected)) return;
  } else if (d.kind == ControlKind::Slider) {
    if (index < static_cast<int>(d.minimum) || index > static_cast<int>(d.maximum)) return;
    if (s.known && s.number == static_cast<std::uint32_t>(index)) return;
  } else {
    return;
  }
  const auto claim = context_.runner.claim();
  if (!claim) return;
  const auto position = static_cast<std::uint32_t>(index);
  const bool written = item ? writeItem(s, d.choices[static_cast<std::size_t>(index)].value)
                            : context_.camera.write(d.binding->setting, position);
  if (written || d.onFailure == OnWriteFailure::ShowOperator) {
    if (item) s.selected = index;
    else s.number = position;
    s.known = true;
  }
  show(s);
  if (written) afterWrite(d.id);
}

void PanelLogic::enter(State& s, std::string_view text) {
  const ControlDescription& d = *s.description;
  const auto value = parseEntry(d.format, text);
  if (!value || *value < d.minimum || *value > d.maximum) {
    view_->beep();
    return;
  }
  if (!d.binding) return;
  const auto claim = context_.runner.claim();
  if (!claim) return;
  const bool written = context_.camera.write(d.binding->setting, *value);
  if (written || d.onFailure == OnWriteFailure::ShowOperator) {
    s.number = *value;
    s.known = true;
  }
  show(s);
  if (written) afterWrite(d.id);
}

void PanelLogic::click(State& s) {
  const ControlDescription& d = *s.description;
  if (d.kind == ControlKind::Close) {
    close();
    return;
  }
  if (d.kind != ControlKind::Button || d.target == 0) return;
  State* target = find(d.target);
  if (target == nullptr || !target->description->binding) return;
  const auto claim = context_.runner.claim();
  if (!claim) return;
  // A failed read changes nothing that is shown.
  if (read(*target)) show(*target);
}

void PanelLogic::finishWith(int result, std::optional<PanelId> next) {
  if (closed_) return;
  result_ = result;
  next_ = next;
  finish(CloseReason::Closed);
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
