#include "platform/qt/update/qt_help_viewer.h"

#include <QDesktopServices>
#include <QUrl>

namespace lensbrook {

QtHelpViewer::QtHelpViewer(QString indexPage) : indexPage_(std::move(indexPage)) {}

void QtHelpViewer::showHelp() { QDesktopServices::openUrl(QUrl::fromLocalFile(indexPage_)); }

}  // namespace lensbrook
