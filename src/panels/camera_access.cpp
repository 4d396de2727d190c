#include "panels/camera_access.hpp"

#include <utility>

namespace orva::panels {

IndicationSubscription::IndicationSubscription(link::Afp& afp, Dispatcher& dispatcher, PanelToken token,
                                               Handler handler)
    : afp_(&afp), live_(std::make_shared<std::atomic<bool>>(true)) {
  auto shared = std::make_shared<const Handler>(std::move(handler));
  // Runs on the receive thread: it only posts. The check on the window thread is the one
  // that counts, since the panel may close or drop the subscription after the post.
  id_ = afp.subscribeIndications([&dispatcher, token = std::move(token), live = live_, shared](
                                     const link::AfpIndication& indication) {
    dispatcher.post([token, live, shared, indication] {
      if (live->load() && token.open()) (*shared)(indication);
    });
  });
}

IndicationSubscription::IndicationSubscription(IndicationSubscription&& other) noexcept
    : afp_(std::exchange(other.afp_, nullptr)), id_(std::exchange(other.id_, 0)), live_(std::move(other.live_)) {}

IndicationSubscription& IndicationSubscription::operator=(IndicationSubscription&& other) noexcept {
  if (this != &other) {
    reset();
    afp_ = std::exchange(other.afp_, nullptr);
    id_ = std::exchange(other.id_, 0);
    live_ = std::move(other.live_);
  }
  return *this;
}

void IndicationSubscription::reset() {
  if (!afp_) return;
  live_->store(false);
  afp_->unsubscribeIndications(id_);
  afp_ = nullptr;
  live_.reset();
}

bool CameraAccess::read(const camera::Setting& s, std::uint32_t& value) {
  return camera::readSetting(s, value, link_, eap_, codes_);
}

bool CameraAccess::write(const camera::Setting& s, std::uint32_t value) {
  return camera::writeSetting(s, value, link_, eap_, codes_);
}

IndicationSubscription CameraAccess::subscribeIndications(Dispatcher& dispatcher, PanelToken token,
                                                          IndicationSubscription::Handler handler) {
  IndicationSubscription subscription(codes_.afp(), dispatcher, std::move(token), std::move(handler));
  if (protocol() == link::Protocol::Afp) codes_.afp().receive();
  return subscription;
}

}  // namespace orva::panels
