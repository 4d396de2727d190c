#include "core/monitor_sink.hpp"

namespace orva::core {

void MonitorSink::heading(std::string_view text, int mode) {
  const bool single = mode == 1;
  std::string monitorForm(single ? "\r\n" : "\r\n\r\n");
  std::string logForm(single ? "\n" : "\n\n");
  monitorForm += text;
  logForm += text;
  message(monitorForm, logForm);
}

void RecordingMonitorSink::appendPc(std::string_view text, std::size_t) { add(pc_, text); }

}  // namespace orva::core
