#include "platform/qt/update/gui_thread_alerts.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <future>
#include <memory>

#include "platform/qt/qt_alerts.h"

namespace lensbrook {
namespace {

// The answer travelling back to the waiting thread. Whichever way the alert ends, or if it is
// never shown because the application is going away, the waiting thread gets exactly one answer:
// the last owner to let go supplies the fallback.
class PendingAnswer {
 public:
  explicit PendingAnswer(int fallback) : fallback_(fallback) {}
  PendingAnswer(const PendingAnswer&) = delete;
  PendingAnswer& operator=(const PendingAnswer&) = delete;
  ~PendingAnswer() { give(fallback_); }

  std::future<int> future() { return promise_.get_future(); }
  void give(int answer) {
    if (given_) return;
    given_ = true;
    promise_.set_value(answer);
  }

 private:
  std::promise<int> promise_;
  int fallback_;
  bool given_ = false;
};

void showModeless(const Alert& alert, const std::shared_ptr<PendingAnswer>& pending) {
  QMessageBox* box = makeAlertBox(alert).release();
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  QObject::connect(box, &QMessageBox::finished, box,
                   [box, alert, pending] { pending->give(alertAnswer(*box, alert)); });
  box->show();
  box->raise();
  box->activateWindow();
}

}  // namespace

int GuiThreadAlerts::runAlertAndWait(const Alert& alert) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return kAlertNotAnswered;
  if (QThread::currentThread() == app->thread()) {
    // Called on the GUI thread itself: waiting there would stop the loop that shows the box.
    std::unique_ptr<QMessageBox> box = makeAlertBox(alert);
    box->exec();
    return alertAnswer(*box, alert);
  }
  auto pending = std::make_shared<PendingAnswer>(kAlertNotAnswered);
  std::future<int> answer = pending->future();
  QMetaObject::invokeMethod(app, [alert, pending] { showModeless(alert, pending); }, Qt::QueuedConnection);
  pending.reset();
  return answer.get();
}

GuiThreadWorkspace::GuiThreadWorkspace(std::shared_ptr<Workspace> workspace) : workspace_(std::move(workspace)) {}

bool GuiThreadWorkspace::openURL(const std::string& url) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  if (QThread::currentThread() == app->thread()) return workspace_->openURL(url);
  // A call still queued when the application goes away is dropped and leaves `opened` false.
  bool opened = false;
  QMetaObject::invokeMethod(
      app, [this, &url] { return workspace_->openURL(url); }, Qt::BlockingQueuedConnection, &opened);
  return opened;
}

}  // namespace lensbrook
