#include "panels/placement.hpp"

namespace orva::panels {

std::optional<Point> panelPosition(const std::optional<MainPlacement>& main, Size panel, int screenWidth) {
  if (!main) return std::nullopt;
  if (main->maximised) return Point{screenWidth - panel.width, 0};
  return Point{main->normal.right - panel.width, main->normal.top};
}

std::optional<Point> launcherPosition(const std::optional<MainPlacement>& main, Size launcher, int screenWidth,
                                      FrameMetrics frame) {
  auto at = panelPosition(main, launcher, screenWidth);
  if (!at) return std::nullopt;
  at->x -= frame.frameWidth;
  at->y += frame.captionHeight + frame.frameHeight;
  return at;
}

}  // namespace orva::panels
