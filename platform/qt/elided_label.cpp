#include "platform/qt/elided_label.h"

#include <QResizeEvent>

namespace lensbrook {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString& text) {
  fullText_ = text;
  refresh();
}

void ElidedLabel::setElideMode(Qt::TextElideMode mode) {
  mode_ = mode;
  refresh();
}

QSize ElidedLabel::minimumSizeHint() const {
  return {fontMetrics().averageCharWidth() * 10, fontMetrics().height()};
}

QSize ElidedLabel::sizeHint() const { return minimumSizeHint(); }

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  refresh();
}

void ElidedLabel::refresh() {
  // Line breaks would be drawn as a second line the window has no room for.
  QString oneLine = fullText_;
  oneLine.replace(QChar('\n'), QChar(' ')).replace(QChar('\r'), QChar(' '));
  const QString shown = fontMetrics().elidedText(oneLine, mode_, contentsRect().width());
  setText(shown);
  setToolTip(shown == oneLine ? QString() : fullText_);
}

}  // namespace lensbrook
