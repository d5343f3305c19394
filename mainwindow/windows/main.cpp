// Program entry: the application object, the four windows in their order,
// the message loop. Only the main window is shown.
#include <cstdio>
#include <cstring>
#include <exception>

#include "ondrix/mainwindow/windows/Unit1.h"
#include "ondrix/mainwindow/windows/application.h"

int main(int argc, char** argv) {
  using namespace ondrix::ui;
  // Answered before any window system is needed.
  for (int k = 1; k < argc; ++k) {
    if (std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0) {
      std::printf(
          "Usage: ondrix\n"
          "The Ondrix window: a reversible three-state cellular automaton and its solitons.\n"
          "It reads and writes its files (solCA.dat, Sol.dat, Exp1.dat, ...) in the current folder;\n"
          "ondrix-launch starts it in your own working folder. See ondrix(1).\n");
      return 0;
    }
    if (std::strcmp(argv[k], "--version") == 0) {
      std::printf("ondrix %s\n", ONDRIX_VERSION);
      return 0;
    }
  }
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
