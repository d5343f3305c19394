// Program entry: the application object, the four windows in their order,
// the message loop. Only the main window is shown.
#include <exception>

#include "datafiles/Unit3.h"
#include "mainwindow/Unit1.h"
#include "mainwindow/application.h"
#include "rules/Unit4.h"
#include "solitons/Unit2.h"

int main(int argc, char** argv) {
  using namespace ondrix::ui;
  OndrixApplication app(argc, argv);
  try {
    TForm1 form1;
    TForm2 form2(&form1, form1.state(), form1);
    TForm3 form3(&form1);
    TForm4 form4(&form1, form1.state().ring.ruleTable);
    form1.Form2 = &form2;
    form1.Form3 = &form3;
    form1.Form4 = &form4;
    form1.show();
    app.exec();
  } catch (const std::exception& e) {
    showException(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    showException(QStringLiteral("Unknown exception"));
  }
  return 0;
}
