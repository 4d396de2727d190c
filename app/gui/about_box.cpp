// The About box: the program, its version and the connected camera's version lines.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include <string>
#include <utility>
#include <vector>

#include "gui_app.hpp"
#include "gui_texts.hpp"
#include "main_window.hpp"
#include "qt_prompt.hpp"
#include "qt_text.hpp"
#include "shell/session_texts.hpp"

namespace orva::gui {

void GuiApp::about() {
  bool failed = false;
  std::vector<std::string> lines;
  if (!session_->connected()) {
    monitor_.heading(texts::kNotConnectedHeading);
  } else {
    auto read = session_->versionLines(failed);
    if (!read) return;  // a run holds the line: ignored, as a launcher button is
    lines = std::move(*read);
  }
  if (lines.empty()) lines.assign(2, std::string(shell::texts::kNoVersionLine));

  QDialog box(window_.get());
  box.setObjectName(QStringLiteral("aboutBox"));
  box.setWindowTitle(qs(texts::kAboutTitle));
  auto* column = new QVBoxLayout(&box);
  auto* name = new QLabel(qs(texts::kWindowTitle), &box);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  name->setFont(big);
  column->addWidget(name);
  column->addWidget(new QLabel(qs(texts::kVersionText), &box));
  QFont fixed(QStringLiteral("monospace"));
  fixed.setStyleHint(QFont::TypeWriter);
  for (const std::string& line : lines) {
    auto* label = new QLabel(qs(line), &box);
    label->setFont(fixed);
    label->setObjectName(QStringLiteral("versionLine"));
    column->addWidget(label);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  column->addWidget(buttons);
  if (failed)
    QMetaObject::invokeMethod(&box, [this] { window_->prompt().message(shell::texts::kSetPort, shell::texts::kAttention); },
                              Qt::QueuedConnection);
  box.exec();
}

}  // namespace orva::gui
