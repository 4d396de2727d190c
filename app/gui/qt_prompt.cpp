#include "qt_prompt.hpp"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

#include <algorithm>

#include "eeprom/backup.hpp"
#include "eeprom/write_back.hpp"
#include "gui_texts.hpp"
#include "wait_window.hpp"
#include "qt_text.hpp"

namespace orva::gui {
namespace {

using core::Answer;
using core::Buttons;
using core::Icon;

QMessageBox::StandardButtons standardButtons(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon iconOf(Icon icon) {
  switch (icon) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Error: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

// The runs that show the wait window name themselves by its caption; the line under it says
// which way the data go.
QString firstLineFor(std::string_view caption) {
  if (caption == eeprom::kBackupCaption) return qs(eeprom::kBackupLine);
  if (caption == eeprom::kWriteCaption) return qs(eeprom::kWriteLine);
  return {};
}

}  // namespace

QtPrompt::QtPrompt(QWidget* window) : window_(window) {
  wait_ = new WaitWindow(window);
  connect(wait_.data(), &WaitWindow::cancelRequested, this, &QtPrompt::cancel);
}

QtPrompt::~QtPrompt() {
  close();
  std::unique_lock lock(mutex_);
  answered_.wait(lock, [&] { return waiting_ == 0; });
}

bool QtPrompt::isClosed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

template <typename T>
T QtPrompt::onWindowThread(std::function<T()> job, T refused) {
  if (QThread::currentThread() == thread()) {
    if (isClosed()) return refused;
    T answer = job();
    return isClosed() ? refused : answer;
  }
  struct Call {
    bool done = false;
    bool abandoned = false;  // the worker left with the cancelling answer: nobody to ask for
    T answer{};
  };
  auto call = std::make_shared<Call>();
  std::unique_lock lock(mutex_);
  if (closed_ || refusing_) return refused;
  ++waiting_;
  lock.unlock();
  // Dropped unrun if this prompt goes first; the waiter has been let go by then.
  QMetaObject::invokeMethod(
      this,
      [this, call, job = std::move(job), refused] {
        bool ask = false;
        {
          std::lock_guard guard(mutex_);
          ask = !closed_ && !call->abandoned;
        }
        T answer = ask ? job() : refused;
        {
          std::lock_guard guard(mutex_);
          call->answer = std::move(answer);
          call->done = true;
        }
        answered_.notify_all();
      },
      Qt::QueuedConnection);
  lock.lock();
  answered_.wait(lock, [&] { return call->done || closed_ || refusing_; });
  T answer = call->done && !closed_ ? std::move(call->answer) : refused;
  if (!call->done) call->abandoned = true;
  if (--waiting_ == 0) answered_.notify_all();
  return answer;
}

Answer QtPrompt::ask(std::string_view text, std::string_view title, Buttons buttons, Icon icon) {
  return onWindowThread<Answer>(
      [this, text = std::string(text), title = std::string(title), buttons, icon] {
        return runBox(text, title, buttons, icon);
      },
      core::cancellingAnswer(buttons));
}

std::optional<std::filesystem::path> QtPrompt::chooseFile(const core::FileChoice& choice) {
  return onWindowThread<std::optional<std::filesystem::path>>([this, choice] { return runFileDialog(choice); },
                                                              std::nullopt);
}

int QtPrompt::exec(QDialog& dialog) {
  open_.emplace_back(&dialog);
  const int result = dialog.exec();
  std::erase_if(open_, [&](const QPointer<QDialog>& d) { return d.isNull() || d.data() == &dialog; });
  return result;
}

Answer QtPrompt::runBox(const std::string& text, const std::string& title, Buttons buttons, Icon icon) {
  QMessageBox box(iconOf(icon), qs(title), qs(text), standardButtons(buttons), window_.data());
  // Monitor texts such as "<< ... >>" are plain text, never markup.
  box.setTextFormat(Qt::PlainText);
  exec(box);
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == nullptr) return core::cancellingAnswer(buttons);
  switch (box.standardButton(clicked)) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return core::cancellingAnswer(buttons);
  }
}

std::optional<std::filesystem::path> QtPrompt::runFileDialog(const core::FileChoice& choice) {
  const bool open = choice.mode == core::FileChoice::Mode::Open;
  QFileDialog dialog(window_.data(), qs(choice.title));
  // Qt's own dialog, so that a shutdown can close it like any other.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QStringList filters;
  if (!choice.filter.empty()) filters << qs(choice.filter);
  filters << qs(texts::kAllFiles);
  dialog.setNameFilters(filters);
  if (!choice.suggested.empty()) {
    const auto folder = choice.suggested.has_filename() ? choice.suggested.parent_path() : choice.suggested;
    if (!folder.empty()) dialog.setDirectory(QFile::decodeName(folder.c_str()));
    if (choice.suggested.has_filename()) dialog.selectFile(QFile::decodeName(choice.suggested.filename().c_str()));
  }
  if (exec(dialog) != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return std::filesystem::path(QFile::encodeName(files.first()).toStdString());
}

void QtPrompt::progress(std::string_view what, std::size_t done, std::size_t total) {
  const bool here = QThread::currentThread() == thread();
  bool post = false;
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    if (!runActive_) {
      // A new run starts at its first step; the later steps of a cancelled run start nothing.
      if (done != 0 && cancelled_.load()) return;
      runActive_ = true;
      cancelled_ = false;
    }
    progress_.what = std::string(what);
    progress_.percent = total == 0 ? -1 : static_cast<int>(std::min(done, total) * 100 / total);
    progress_.finished = total > 0 && done >= total;
    progress_.hidden = false;
    if (progress_.finished) runActive_ = false;
    post = !here && !progressPosted_;
    progressPosted_ = progressPosted_ || post;
  }
  if (here) showProgress();
  else if (post) QMetaObject::invokeMethod(this, &QtPrompt::showProgress, Qt::QueuedConnection);
}

void QtPrompt::showProgress() {
  Progress p;
  {
    std::lock_guard lock(mutex_);
    p = progress_;
    progressPosted_ = false;
    if (closed_) p.hidden = true;
  }
  if (wait_.isNull()) return;
  if (p.hidden || p.finished) {
    wait_->hide();
    return;
  }
  wait_->showProgress(qs(p.what), firstLineFor(p.what), p.percent);
}

void QtPrompt::cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    runActive_ = false;
    progress_.hidden = true;
  }
  if (!wait_.isNull()) wait_->hide();
}

void QtPrompt::endProgress() {
  const bool here = QThread::currentThread() == thread();
  bool post = false;
  {
    std::lock_guard lock(mutex_);
    runActive_ = false;
    cancelled_ = false;
    progress_.hidden = true;
    post = !here && !progressPosted_;
    progressPosted_ = progressPosted_ || post;
  }
  if (here) showProgress();
  else if (post) QMetaObject::invokeMethod(this, &QtPrompt::showProgress, Qt::QueuedConnection);
}

void QtPrompt::busy(bool on) {
  const bool here = QThread::currentThread() == thread();
  bool post = false;
  {
    std::lock_guard lock(mutex_);
    busyWanted_ = on;
    post = !here && !busyPosted_;
    busyPosted_ = busyPosted_ || post;
  }
  if (here) showBusy();
  else if (post) QMetaObject::invokeMethod(this, &QtPrompt::showBusy, Qt::QueuedConnection);
}

void QtPrompt::showBusy() {
  bool wanted = false;
  {
    std::lock_guard lock(mutex_);
    wanted = busyWanted_ && !closed_;
    busyPosted_ = false;
  }
  if (wanted && !busyShown_) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!wanted && busyShown_) QApplication::restoreOverrideCursor();
  busyShown_ = wanted;
}

void QtPrompt::refuseWorkers(bool on) {
  {
    std::lock_guard lock(mutex_);
    refusing_ = on;
  }
  if (on) answered_.notify_all();
}

void QtPrompt::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    runActive_ = false;
  }
  answered_.notify_all();
  auto closeWindows = [this] {
    // Innermost first: each box's own loop ends, and its caller gets the cancelling answer.
    for (auto it = open_.rbegin(); it != open_.rend(); ++it)
      if (!it->isNull()) (*it)->reject();
    if (!wait_.isNull()) wait_->hide();
    showBusy();
  };
  if (QThread::currentThread() == thread()) closeWindows();
  else QMetaObject::invokeMethod(this, closeWindows, Qt::QueuedConnection);
}

}  // namespace orva::gui
