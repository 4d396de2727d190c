#include "status_command.hpp"

#include "camera/code_map.hpp"
#include "panels/camera_access.hpp"
#include "panels/dispatch.hpp"
#include "panels/operation_runner.hpp"
#include "panels/panel_logic.hpp"
#include "panels/status_block/status_block_panel.hpp"
#include "panels/text_panel_view.hpp"

namespace orva::cli {

int statusCommand(const Options& o, const shell::Settings& s, std::ostream& out, std::ostream& err) {
  Tool tool(o, s);
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  if (!tool.connect()) return kExitCamera;
  if (!tool.afp()) {
    err << "orva-cli: the status block needs AFP; the camera speaks EAP (orva-cli protocol afp switches it)\n";
    return kExitUsage;
  }
  if (!tool.identify(s, record, flags)) return kExitCamera;

  camera::FunctionCodes codes(tool.afpChannel(), tool.link());
  panels::CameraAccess access(tool.link(), tool.eap(), codes);
  panels::QueuedDispatcher dispatcher;
  panels::OperationRunner runner(tool.monitor(), dispatcher);
  panels::PanelContext context{access, tool.monitor(), tool.prompt(), tool.clock(), runner, dispatcher, record,
                               [&tool] { return tool.link().isOpen(); }};
  const panels::PanelDescription& description = panels::status_block::description();
  panels::TextPanelView view(description);
  const auto panel = panels::status_block::makePanel(context, view);
  // A failed read closes the panel; the link has said why on stderr.
  if (!panel->open()) return kExitCamera;
  for (const std::string& line : view.lines()) out << line << '\n';
  panel->close();
  return kExitOk;
}

}  // namespace orva::cli
