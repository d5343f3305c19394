#include "ondrix/mainwindow/windows/application.h"

#include <QMessageBox>
#include <exception>

namespace ondrix::ui {

void showException(const QString& text) { QMessageBox::critical(nullptr, QStringLiteral("Ondrix"), text); }

bool OndrixApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    reportException(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    reportException(QStringLiteral("Unknown exception"));
  }
  return false;
}

}  // namespace ondrix::ui
