// The form's controls on Qt widgets. Each adaptor wraps one widget, which outlives it, and posts the
// notices of the user's own actions; changes made through the adaptor are never posted.
#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>

#include "platform/form_controls.h"
#include "platform/qt/editor/format_pop_up.h"
#include "platform/qt/editor/qt_notification_center.h"

namespace lensbrook {

class QtCheckBox : public CheckBox {
 public:
  explicit QtCheckBox(QCheckBox* box) : box_(box) {}
  // Off 0, on 1, and 2 for a box in the third, mixed state.
  int state() const override;
  void setState(int state) override;
  void setEnabled(bool enabled) override { box_->setEnabled(enabled); }

 private:
  QCheckBox* box_;
};

class QtTextField : public TextField {
 public:
  QtTextField(QLineEdit* field, const QtNotificationCenter& center);
  std::string stringValue() const override { return field_->text().toStdString(); }
  void setStringValue(const std::string& text) override;
  void setEnabled(bool enabled) override { field_->setEnabled(enabled); }
  // A line edit's text is its value at every keystroke; there is nothing left to commit.
  void validateEditing() override {}

 private:
  QLineEdit* field_;
};

class QtPopUpButton : public PopUpButton {
 public:
  QtPopUpButton(FormatPopUp* popUp, const QtNotificationCenter& center);
  int indexOfSelectedItem() const override { return popUp_->currentIndex(); }
  std::string titleOfSelectedItem() const override { return popUp_->currentText().toStdString(); }
  void selectItemAtIndex(int index) override { popUp_->setCurrentIndex(index); }

 private:
  FormatPopUp* popUp_;
};

// Radio buttons of one exclusive group, laid out in a grid whose cells are the matrix's cells.
class QtRadioMatrix : public RadioMatrix {
 public:
  QtRadioMatrix(QButtonGroup* group, QGridLayout* grid) : group_(group), grid_(grid) {}
  std::string titleOfSelectedCell() const override;
  void setStateOfCellAtRowColumn(int row, int column, int state) override;

 private:
  QButtonGroup* group_;
  QGridLayout* grid_;
};

// An editable combo box: fixed entries, or a text the user types.
class QtComboBox : public ComboBox {
 public:
  QtComboBox(QComboBox* combo, const QtNotificationCenter& center);
  // The current entry only while the text still is that entry's: typing makes it -1.
  int indexOfSelectedItem() const override;
  std::string stringValue() const override { return combo_->currentText().toStdString(); }
  void selectItemAtIndex(int index) override;

 private:
  QComboBox* combo_;
};

// A widget's text without the "&" that marks its keyboard shortcut ("&&" stands for one "&").
QString withoutMnemonic(const QString& text);

}  // namespace lensbrook
