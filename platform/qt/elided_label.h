// A one-line label that shortens its text with an ellipsis to fit its width, so a long file name
// never widens its window. The whole text shows as the tool tip when shortened.
#pragma once

#include <QLabel>

namespace lensbrook {

class ElidedLabel : public QLabel {
 public:
  explicit ElidedLabel(QWidget* parent = nullptr);

  void setFullText(const QString& text);
  QString fullText() const { return fullText_; }
  void setElideMode(Qt::TextElideMode mode);

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void refresh();

  QString fullText_;
  Qt::TextElideMode mode_ = Qt::ElideRight;
};

}  // namespace lensbrook
