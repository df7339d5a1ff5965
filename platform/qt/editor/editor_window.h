// The editor window, loaded from its Designer form, and the adaptors that give its controls to the
// controller. All wiring between the widgets and the controller is made in connectTo().
#pragma once

#include <memory>
#include <vector>

#include <QMainWindow>

#include "lensBrook/lens_brook_controller.h"
#include "platform/qt/editor/qt_form_controls.h"
#include "platform/qt/editor/qt_notification_center.h"
#include "platform/qt/qt_progress_window.h"  // QtWindow

namespace Ui {
class EditorWindow;
}

namespace lensbrook {

class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit EditorWindow(QWidget* parent = nullptr);
  ~EditorWindow() override;

  // Gives the controller every control of the form and routes the window's commands and actions to
  // it. Call once, before the controller's awakeFromNib(); the controller must outlive the window.
  void connectTo(lensBrookController& controller);

  Window& window() { return window_; }
  NotificationCenter& notifications() { return notifications_; }
  // The widgets, for menus added elsewhere and for tests.
  Ui::EditorWindow& form() { return *ui_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  template <class Adaptor, class... Arguments>
  Adaptor* adapt(Arguments&&... arguments);

  std::unique_ptr<Ui::EditorWindow> ui_;
  QtNotificationCenter notifications_;
  QtWindow window_{this};
  std::vector<std::unique_ptr<Control>> controls_;
  lensBrookController* controller_ = nullptr;
};

}  // namespace lensbrook
