// Program entry: the application object, the four windows in their order,
// the message loop. Only the main window is shown.
#include <exception>

#include "mainwindow/Unit1.h"
#include "mainwindow/application.h"

int main(int argc, char** argv) {
  using namespace ondrix::ui;
  OndrixApplication app(argc, argv);
  try {
    TForm1 form1;
    form1.createSecondaryWindows();
    form1.show();
    app.exec();
  } catch (const std::exception& e) {
    showException(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    showException(QStringLiteral("Unknown exception"));
  }
  return 0;
}
