// The covers of the other screens, on Qt's offscreen platform with two
// screens configured: one cover for each screen the window is not on, in the colour given and following it; a click on a
// cover gives the window the focus back, and a key typed on one reaches the
// window's focus.
#include "platform/desktop/screen_covers.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryFile>
#include <QVBoxLayout>
#include <QtTest>

class TestScreenCovers : public QObject {
    Q_OBJECT

private slots:
    void oneCoverForEachOtherScreen();
    void coversHandTheKeyboardBack();
};

namespace {

QJsonObject screens(int count)
{
    QJsonArray list;
    for (int i = 0; i < count; ++i) {
        list.append(QJsonObject{{"name", QStringLiteral("screen%1").arg(i)}, {"x", i * 800}, {"y", 0},
                                {"width", 800}, {"height", 600}, {"logicalDpi", 96}, {"logicalBaseDpi", 96},
                                {"dpr", 1}});
    }
    return QJsonObject{{"screens", list}};
}

struct Window {
    QWidget widget;
    QLineEdit* sheet = new QLineEdit(&widget);
    Window()
    {
        widget.setScreen(QGuiApplication::screens().first());
        widget.setGeometry(QGuiApplication::screens().first()->geometry());
        widget.show();
        sheet->setFocus();
    }
};

QColor colourOf(QWidget* cover)
{
    return cover->palette().color(QPalette::Window);
}

}  // namespace

void TestScreenCovers::oneCoverForEachOtherScreen()
{
    QCOMPARE(QGuiApplication::screens().size(), 2);
    Window window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
    quillo::ScreenCovers covers(&window.widget, Qt::white);
    QCOMPARE(covers.covers().size(), 1);
    QWidget* cover = covers.covers().first();
    QCOMPARE(cover->screen(), QGuiApplication::screens().at(1));
    QCOMPARE(cover->geometry(), QGuiApplication::screens().at(1)->geometry());
    QVERIFY(cover->isVisible());
    QVERIFY(cover->isFullScreen());
    QCOMPARE(colourOf(cover), QColor(Qt::white));

    covers.setColour(QColor(10, 20, 30));
    QCOMPARE(colourOf(cover), QColor(10, 20, 30));
}

void TestScreenCovers::coversHandTheKeyboardBack()
{
    QCOMPARE(QGuiApplication::screens().size(), 2);
    Window window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
    quillo::ScreenCovers covers(&window.widget, Qt::white);
    QWidget* cover = covers.covers().value(0);
    QVERIFY(cover != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(cover));

    cover->activateWindow();
    QTest::mouseClick(cover, Qt::LeftButton);
    QTRY_COMPARE(QApplication::activeWindow(), &window.widget);

    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(cover, &key);
    QCOMPARE(window.sheet->text(), QStringLiteral("a"));
}

int main(int argc, char* argv[])
{
    // Two screens from the start, so that the covers have somewhere to go.
    QTemporaryFile config;
    if (!config.open())
        return 1;
    config.write(QJsonDocument(screens(2)).toJson());
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    TestScreenCovers test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_screen_covers.moc"
