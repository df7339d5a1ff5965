// The editor form's controls, reduced to the operations the editor's logic uses. The window loader
// creates one provider per control; the controller holds them as plain pointers and never frees them.
// All calls are made on the user-interface thread.
#pragma once

#include <string>

#include "platform/progress_window.h"  // Window

namespace lensbrook {

// A control's identity: notifications name the control that sent them by this pointer.
class Control {
 public:
  virtual ~Control() = default;
};

// Checkbox state values. Any state other than kControlOn counts as not ticked.
constexpr int kControlOff = 0;
constexpr int kControlOn = 1;

class CheckBox : public Control {
 public:
  virtual int state() const = 0;
  virtual void setState(int state) = 0;
  virtual void setEnabled(bool enabled) = 0;
};

class TextField : public Control {
 public:
  // The current text, exactly as typed.
  virtual std::string stringValue() const = 0;
  // Replaces the text. Never reported as an edit of the user.
  virtual void setStringValue(const std::string& text) = 0;
  virtual void setEnabled(bool enabled) = 0;
  // Commits an edit still in progress to the field's value.
  virtual void validateEditing() = 0;
};

class PopUpButton : public Control {
 public:
  // Position of the selected entry, from 0; -1 when none is selected.
  virtual int indexOfSelectedItem() const = 0;
  // Title of the selected entry; empty when none is selected.
  virtual std::string titleOfSelectedItem() const = 0;
  virtual void selectItemAtIndex(int index) = 0;
};

class RadioMatrix : public Control {
 public:
  // Title of the selected cell; empty when none is selected.
  virtual std::string titleOfSelectedCell() const = 0;
  // Sets the state of the cell at (row, column); kControlOn makes it the selected cell. A cell that
  // does not exist is ignored.
  virtual void setStateOfCellAtRowColumn(int row, int column, int state) = 0;
};

class ComboBox : public Control {
 public:
  // Position of the selected fixed entry, from 0; -1 when the text is not one of the entries.
  virtual int indexOfSelectedItem() const = 0;
  // The current text, exactly as typed or as the selected entry shows it.
  virtual std::string stringValue() const = 0;
  virtual void selectItemAtIndex(int index) = 0;
};

}  // namespace lensbrook
