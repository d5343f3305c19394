// The application object: an exception that escapes a handler is shown in
// a message box and the program goes on.
#pragma once

#include <QApplication>

namespace ondrix::ui {

class OndrixApplication : public QApplication {
 public:
  OndrixApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

// The standard box for an exception's text.
void showException(const QString& text);

}  // namespace ondrix::ui
