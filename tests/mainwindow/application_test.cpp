// An exception escaping a handler is reported and the program goes on.
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "ondrix/mainwindow/windows/application.h"

using namespace ondrix::ui;

namespace {

class Throwing : public QObject {
 public:
  int events = 0;
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    ++events;
    throw std::runtime_error("handler failed");
  }
};

}  // namespace

class ApplicationTest : public QObject {
  Q_OBJECT

 public:
  explicit ApplicationTest(OndrixApplication& app) : app_(app) {}

 private slots:
  void exceptionIsShownAndTheLoopGoesOn() {
    QStringList shown;
    app_.reportException = [&](const QString& text) { shown << text; };
    Throwing target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    QTRY_VERIFY(later);  // the loop went on past both failures
    QCOMPARE(target.events, 2);
    QCOMPARE(shown, (QStringList{"handler failed", "handler failed"}));
  }

 private:
  OndrixApplication& app_;
};

int main(int argc, char** argv) {
  OndrixApplication app(argc, argv);
  ApplicationTest test(app);
  return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
