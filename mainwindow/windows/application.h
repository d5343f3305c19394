// The application object: an exception that escapes a handler is shown in
// a message box and the program goes on.
#pragma once

#include <QApplication>
#include <functional>

namespace ondrix::ui {

// The standard box for an exception's text.
void showException(const QString& text);

class OndrixApplication : public QApplication {
 public:
  OndrixApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;

  // What shows an exception's text; the message box unless replaced.
  std::function<void(const QString&)> reportException = showException;
};

}  // namespace ondrix::ui
