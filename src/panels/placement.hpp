#pragma once
// Where a panel opens: at the main window's top right corner, or the screen's when the main
// window is maximised. Pure geometry in pixels; the renderer measures and moves.
#include <optional>

namespace orva::panels {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct Size {
  int width = 0;
  int height = 0;
};

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// The main window's placement as the window system reports it.
struct MainPlacement {
  bool maximised = false;
  Rect normal;  // its normal (not maximised) position
};

// The panel's top left corner; none when the main window's placement could not be read
// (the panel stays where the window system put it). The panel keeps its size.
std::optional<Point> panelPosition(const std::optional<MainPlacement>& main, Size panel, int screenWidth);

// The window frame metrics the CONTROL launcher is offset by.
struct FrameMetrics {
  int frameWidth = 0;
  int frameHeight = 0;
  int captionHeight = 0;
};

// The launcher: placed as a panel, one frame width further left and one caption height plus
// one frame height lower.
std::optional<Point> launcherPosition(const std::optional<MainPlacement>& main, Size launcher, int screenWidth,
                                      FrameMetrics frame);

}  // namespace orva::panels
