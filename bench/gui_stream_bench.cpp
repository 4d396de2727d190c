// The desktop tool's monitor under a continuous camera stream at 115200 baud (about 11 kB/s of
// characters, as the camera pane shows them): how much of one core the window thread spends
// keeping both panes current, and how long a full repaint of full panes takes.
//
// Runs the real main window on the offscreen platform. `cpu_percent` is the process's CPU time
// (user + system, all threads, the feeding thread included) over the wall time of the run.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <string>
#include <thread>

#include "main_window.hpp"
#include "monitor_view.hpp"
#include "pane_widget.hpp"
#include "shell/menu_model.hpp"
#include "shell/monitor.hpp"
#include "shell/settings.hpp"

namespace {

using namespace std::chrono_literals;

double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(u.ru_utime) + seconds(u.ru_stime);
}

struct Window {
  orva::shell::Settings settings;
  orva::shell::Monitor monitor;
  orva::shell::MenuModel menus{settings, orva::shell::StartSwitches{}};
  orva::gui::MainWindow window{monitor, menus, orva::gui::MonitorView::Colours{}};
  Window() {
    window.resize(1000, 700);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
  }
};

// A camera answering frames of 8 characters, 11520 characters a second, fed in 10 ms slices.
void BM_Stream115200(benchmark::State& state) {
  Window w;
  const auto seconds = std::chrono::seconds(state.range(0));
  for (auto _ : state) {
    QEventLoop loop;
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    std::thread camera([&] {
      const std::string frame = ":R1701D0";
      const auto start = std::chrono::steady_clock::now();
      std::size_t sent = 0;
      for (auto next = start; next - start < seconds; next += 10ms) {
        const auto due = static_cast<std::size_t>(std::chrono::duration<double>(next - start).count() * 11520.0);
        for (; sent + frame.size() <= due; sent += frame.size()) {
          w.monitor.appendPc(":R170100");
          w.monitor.appendCamera(frame);
        }
        std::this_thread::sleep_until(next + 10ms);
      }
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // The window thread sleeps in its event loop between the monitor's flushes, as in the tool.
    loop.exec();
    camera.join();
    QCoreApplication::processEvents();
    const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    state.counters["cpu_percent"] = 100.0 * (cpuSeconds() - cpu0) / elapsed;
    state.counters["chars_per_s"] = 11520.0;
  }
}
BENCHMARK(BM_Stream115200)->Arg(5)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A repaint of both panes when they are full: what a window thread pays when it is shown again.
void BM_RepaintFullPanes(benchmark::State& state) {
  Window w;
  for (int i = 0; i < 5000; ++i) {
    w.monitor.appendPc(":R170100");
    w.monitor.appendCamera(":R1701D0");
  }
  w.window.monitorView().flushNow();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    w.window.monitorView().pane(orva::shell::Side::Pc).repaint();
    w.window.monitorView().pane(orva::shell::Side::Camera).repaint();
  }
}
BENCHMARK(BM_RepaintFullPanes)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
