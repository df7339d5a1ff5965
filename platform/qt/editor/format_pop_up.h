// The output-format pop-up: a combo box that says when the user is about to choose, before its list
// opens or its selection moves by keyboard or wheel.
#pragma once

#include <QComboBox>

namespace lensbrook {

class FormatPopUp : public QComboBox {
  Q_OBJECT

 public:
  using QComboBox::QComboBox;

  void showPopup() override;

 signals:
  void willPopUp();

 protected:
  // Without a list a user can still change the choice with the keyboard or the wheel; that is a
  // choice as much as one made in the list.
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
};

}  // namespace lensbrook
