// In-memory controls of the editor form and the editor's sheets, each recording what the controller
// does to it in one shared journal, so tests can check both the end state and the order of calls.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/alert_sheets.h"
#include "platform/form_controls.h"
#include "platform/notification_center.h"
#include "platform/save_panel.h"

namespace lensbrook::fakes {

using Journal = std::vector<std::string>;

class FakeControl {
 public:
  FakeControl(std::string name, Journal& journal) : name_(std::move(name)), journal_(journal) {}
  const std::string& name() const { return name_; }
  bool enabled = true;

 protected:
  void record(const std::string& call) { journal_.push_back(name_ + "." + call); }

 private:
  std::string name_;
  Journal& journal_;
};

class FakeCheckBox : public CheckBox, public FakeControl {
 public:
  using FakeControl::FakeControl;
  int value = kControlOff;
  int state() const override { return value; }
  void setState(int state) override;
  void setEnabled(bool on) override;
};

class FakeTextField : public TextField, public FakeControl {
 public:
  using FakeControl::FakeControl;
  std::string text;
  std::string stringValue() const override { return text; }
  void setStringValue(const std::string& value) override;
  void setEnabled(bool on) override;
  void validateEditing() override;
};

class FakePopUpButton : public PopUpButton, public FakeControl {
 public:
  FakePopUpButton(std::string name, Journal& journal, std::vector<std::string> titles)
      : FakeControl(std::move(name), journal), titles(std::move(titles)) {}
  std::vector<std::string> titles;
  int selected = 0;
  int indexOfSelectedItem() const override { return selected; }
  std::string titleOfSelectedItem() const override;
  void selectItemAtIndex(int index) override;
};

class FakeRadioMatrix : public RadioMatrix, public FakeControl {
 public:
  FakeRadioMatrix(std::string name, Journal& journal, std::map<std::pair<int, int>, std::string> cells)
      : FakeControl(std::move(name), journal), cells(std::move(cells)) {}
  std::map<std::pair<int, int>, std::string> cells;  // (row, column) -> title
  std::pair<int, int> selected{0, 0};
  std::string titleOfSelectedCell() const override;
  void setStateOfCellAtRowColumn(int row, int column, int state) override;
};

class FakeComboBox : public ComboBox, public FakeControl {
 public:
  using FakeControl::FakeControl;
  int selected = -1;
  std::string text;
  int indexOfSelectedItem() const override { return selected; }
  std::string stringValue() const override { return text; }
  void selectItemAtIndex(int index) override;
};

class FakeWindow : public Window, public FakeControl {
 public:
  using FakeControl::FakeControl;
  void center() override { record("center"); }
  void makeKeyAndOrderFront() override { record("makeKeyAndOrderFront"); }
};

// Keeps the observers so a test can post as a control would.
class FakeNotificationCenter : public NotificationCenter {
 public:
  std::vector<std::pair<Notification, Observer>> observers;
  void addObserver(Notification name, Observer observer) override;
  void post(Notification name, const Control* object) const;
};

// Keeps each sheet and its handler, so a test can answer it later as the user would.
class FakeAlertSheets : public AlertSheets {
 public:
  struct Sheet {
    Alert alert;
    DidEnd didEnd;
  };
  std::vector<Sheet> sheets;
  void beginAlertSheet(const Alert& alert, DidEnd didEnd) override;
};

class FakeSavePanel : public SavePanel {
 public:
  struct Sheet {
    std::string initialName;
    std::string requiredType;
    DidEnd didEnd;
  };
  std::vector<Sheet> sheets;
  void beginSaveSheet(const std::string& initialName, const std::string& requiredType,
                      DidEnd didEnd) override;
};

}  // namespace lensbrook::fakes
