#include "tests/lensBrook/fake_form.h"

namespace lensbrook::fakes {

void FakeCheckBox::setState(int state) {
  value = state;
  record("setState " + std::to_string(state));
}

void FakeCheckBox::setEnabled(bool on) {
  enabled = on;
  record(on ? "enable" : "disable");
}

void FakeTextField::setStringValue(const std::string& value) {
  text = value;
  record("setStringValue " + value);
}

void FakeTextField::setEnabled(bool on) {
  enabled = on;
  record(on ? "enable" : "disable");
}

void FakeTextField::validateEditing() { record("validateEditing"); }

std::string FakePopUpButton::titleOfSelectedItem() const {
  return selected >= 0 && selected < int(titles.size()) ? titles[selected] : std::string();
}

void FakePopUpButton::selectItemAtIndex(int index) {
  selected = index;
  record("selectItemAtIndex " + std::to_string(index));
}

std::string FakeRadioMatrix::titleOfSelectedCell() const {
  const auto cell = cells.find(selected);
  return cell == cells.end() ? std::string() : cell->second;
}

void FakeRadioMatrix::setStateOfCellAtRowColumn(int row, int column, int state) {
  if (state == kControlOn && cells.count({row, column})) selected = {row, column};
  record("setState " + std::to_string(row) + "," + std::to_string(column) + " " + std::to_string(state));
}

void FakeComboBox::selectItemAtIndex(int index) {
  selected = index;
  record("selectItemAtIndex " + std::to_string(index));
}

void FakeNotificationCenter::addObserver(Notification name, Observer observer) {
  observers.emplace_back(name, std::move(observer));
}

void FakeNotificationCenter::post(Notification name, const Control* object) const {
  for (const auto& [observed, observer] : observers) {
    if (observed == name) observer(object);
  }
}

void FakeAlertSheets::beginAlertSheet(const Alert& alert, DidEnd didEnd) {
  sheets.push_back({alert, std::move(didEnd)});
}

void FakeSavePanel::beginSaveSheet(const std::string& initialName, const std::string& requiredType,
                                   DidEnd didEnd) {
  sheets.push_back({initialName, requiredType, std::move(didEnd)});
}

}  // namespace lensbrook::fakes
