// Any text as an `orva-cli panel --do` action or a typed entry, against every registered
// panel as it stands before opening and after every control was shown: the action names one
// control's intent or says why not, and never crashes; an entry is a value of its format or
// none.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "panels/formats.hpp"
#include "panels/registry.hpp"
#include "panels/text_panel_view.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  using orva::panels::Format;
  for (Format f : {Format::Hex2, Format::Hex4, Format::Hex8, Format::Tenths, Format::Decimal})
    (void)orva::panels::parseEntry(f, text);
  for (const orva::panels::PanelRow& row : orva::panels::panelRows()) {
    orva::panels::TextPanelView view(row.description());
    (void)view.action(text);
    for (const auto& control : row.description().controls) {
      view.setText(control.id, "00");
      view.setValue(control.id, 0);
    }
    (void)view.action(text);
    (void)view.lines();
  }
  return 0;
}
