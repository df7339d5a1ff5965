#include "platform/qt/editor/qt_form_controls.h"

#include <QLayoutItem>

namespace lensbrook {

int QtCheckBox::state() const {
  switch (box_->checkState()) {
    case Qt::Checked:
      return kControlOn;
    case Qt::PartiallyChecked:
      return 2;
    case Qt::Unchecked:
      break;
  }
  return kControlOff;
}

void QtCheckBox::setState(int state) {
  box_->setCheckState(state == kControlOn ? Qt::Checked
                      : state == kControlOff ? Qt::Unchecked
                                             : Qt::PartiallyChecked);
}

QtTextField::QtTextField(QLineEdit* field, const QtNotificationCenter& center) : field_(field) {
  // textEdited, unlike textChanged, is emitted only for the user's own edits.
  QObject::connect(field, &QLineEdit::textEdited, field,
                   [this, &center] { center.post(Notification::ControlTextDidChange, this); });
}

void QtTextField::setStringValue(const std::string& text) {
  field_->setText(QString::fromStdString(text));
}

QtPopUpButton::QtPopUpButton(FormatPopUp* popUp, const QtNotificationCenter& center) : popUp_(popUp) {
  QObject::connect(popUp, &FormatPopUp::willPopUp, popUp,
                   [this, &center] { center.post(Notification::PopUpButtonWillPopUp, this); });
}

std::string QtRadioMatrix::titleOfSelectedCell() const {
  const QAbstractButton* checked = group_->checkedButton();
  return checked ? withoutMnemonic(checked->text()).toStdString() : std::string();
}

void QtRadioMatrix::setStateOfCellAtRowColumn(int row, int column, int state) {
  QLayoutItem* item = grid_->itemAtPosition(row, column);
  auto* button = item ? qobject_cast<QAbstractButton*>(item->widget()) : nullptr;
  if (button && group_->buttons().contains(button)) button->setChecked(state == kControlOn);
}

QtComboBox::QtComboBox(QComboBox* combo, const QtNotificationCenter& center) : combo_(combo) {
  // activated, unlike currentIndexChanged, is emitted only when the user picks an entry.
  QObject::connect(combo, &QComboBox::activated, combo,
                   [this, &center] { center.post(Notification::ComboBoxSelectionDidChange, this); });
  if (QLineEdit* edit = combo->lineEdit()) {
    QObject::connect(edit, &QLineEdit::textEdited, combo,
                     [this, &center] { center.post(Notification::ControlTextDidChange, this); });
  }
}

int QtComboBox::indexOfSelectedItem() const {
  const int index = combo_->currentIndex();
  return index >= 0 && combo_->itemText(index) == combo_->currentText() ? index : -1;
}

void QtComboBox::selectItemAtIndex(int index) {
  combo_->setCurrentIndex(index);
  // Selecting the entry it already had leaves an edited text in place; show the entry again.
  if (index >= 0 && combo_->isEditable()) combo_->setEditText(combo_->itemText(index));
}

QString withoutMnemonic(const QString& text) {
  QString plain;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
}

}  // namespace lensbrook
