#include "platform/qt/qt_progress_window.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCloseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QThread>

#include "platform/qt/elided_label.h"
#include "ui_MainMenu.h"

namespace lensbrook {
namespace {

// A batch cannot be stopped, so the window offers no way to close it; it goes when the droplet quits.
class ProgressWindowWidget : public QWidget {
 public:
  ProgressWindowWidget()
      : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {}

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

QtProgressBar::QtProgressBar(QProgressBar* bar) : bar_(bar) {
  bar_->setRange(0, kSteps);
  refresh();
}

void QtProgressBar::setMaxValue(double value) {
  max_ = value;
  refresh();
}

void QtProgressBar::setMinValue(double value) {
  min_ = value;
  refresh();
}

void QtProgressBar::incrementBy(double delta) {
  value_ += delta;
  refresh();
}

void QtProgressBar::refresh() {
  // An empty range (a batch of no items) shows an empty bar, not Qt's busy animation.
  const double fraction = max_ > min_ ? std::clamp((value_ - min_) / (max_ - min_), 0.0, 1.0) : 0.0;
  bar_->setValue(static_cast<int>(std::lround(fraction * kSteps)));
}

void QtTextLabel::setStringValue(const std::string& text) {
  label_->setFullText(QString::fromStdString(text));
}

void QtWindow::center() {
  window_->ensurePolished();
  window_->adjustSize();
  const QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window_->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window_->move(frame.topLeft());
}

void QtWindow::makeKeyAndOrderFront() {
  window_->show();
  window_->raise();
  window_->activateWindow();
}

struct QtInterfaceLoader::Parts {
  ProgressWindowWidget widget;
  Ui::MainMenu form;
  std::unique_ptr<QtWindow> window;
  std::unique_ptr<QtProgressBar> bar;
  std::unique_ptr<QtTextLabel> descriptionText;
  std::unique_ptr<QtTextLabel> currentFile;
  std::unique_ptr<QtTextLabel> timeRemaining;
};

QtInterfaceLoader::QtInterfaceLoader() = default;
QtInterfaceLoader::~QtInterfaceLoader() = default;

bool QtInterfaceLoader::loadMainMenu(ProgressWindowOutlets& owner) {
  if (!parts_) {
    // Widgets exist only under a QApplication, on its thread.
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) return false;

    auto parts = std::make_unique<Parts>();
    parts->form.setupUi(&parts->widget);
    parts->widget.setWindowTitle(QGuiApplication::applicationDisplayName());
    const QPixmap picture = QApplication::windowIcon().pixmap(48, 48);
    if (picture.isNull()) parts->form.dropletIcon->hide();
    else parts->form.dropletIcon->setPixmap(picture);
    // A long name keeps its start and its extension.
    parts->form.currentFile->setElideMode(Qt::ElideMiddle);

    parts->window = std::make_unique<QtWindow>(&parts->widget);
    parts->bar = std::make_unique<QtProgressBar>(parts->form.progressBar);
    parts->descriptionText = std::make_unique<QtTextLabel>(parts->form.descriptionText);
    parts->currentFile = std::make_unique<QtTextLabel>(parts->form.currentFile);
    parts->timeRemaining = std::make_unique<QtTextLabel>(parts->form.timeRemaining);
    parts_ = std::move(parts);
  }
  owner.progressWindow = parts_->window.get();
  owner.progressBar = parts_->bar.get();
  owner.descriptionText = parts_->descriptionText.get();
  owner.currentFile = parts_->currentFile.get();
  owner.timeRemaining = parts_->timeRemaining.get();
  return true;
}

QWidget* QtInterfaceLoader::window() const { return parts_ ? &parts_->widget : nullptr; }

void processEventsExceptUserInput() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace lensbrook
