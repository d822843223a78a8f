#include "support/testmain.h"
#include "widgets/framelessdialog.h"
#include "widgets/framelessmover.h"
#include <QHoverEvent>
#include <QWidget>

namespace {
void hoverTo(QWidget *window, QPoint pos)
{
    QHoverEvent hover(QEvent::HoverMove, pos, pos);
    QApplication::sendEvent(window, &hover);
}
} // namespace

// Moving and resizing a real frameless window, as the main window does.
class TestFramelessMover : public TestCase
{
    Q_OBJECT
private slots:
    void dragsResizesAndKeepsTheMinimum()
    {
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.setMinimumSize(800, 600);
        window.setGeometry(100, 80, 1000, 700);
        auto *mover = new FramelessMover(&window, WindowZones::Frame{5, 50, 120});
        QSignalSpy doubleClicked(mover, &FramelessMover::titleDoubleClicked);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect start = window.geometry();

        // The title zone moves the window: the cursor keeps its place in it.
        QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
        hoverTo(&window, QPoint(330, 60));
        QTRY_COMPARE(window.pos(), start.topLeft() + QPoint(30, 40));
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(330, 60));
        hoverTo(&window, QPoint(400, 80)); // released: nothing moves
        QCOMPARE(window.pos(), start.topLeft() + QPoint(30, 40));

        // The right end of the top belongs to the window controls.
        QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(1000 - 100, 20));
        hoverTo(&window, QPoint(1000 - 50, 60));
        QCOMPARE(window.pos(), start.topLeft() + QPoint(30, 40));
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(1000 - 50, 60));

        // The left edge, dragged right by 100, narrows the window by 100 ...
        const QRect moved = window.geometry();
        hoverTo(&window, QPoint(2, 400));
        QCOMPARE(window.cursor().shape(), Qt::SizeHorCursor);
        QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(2, 400));
        hoverTo(&window, QPoint(102, 400));
        QTRY_COMPARE(window.geometry(), QRect(moved.x() + 100, moved.y(), moved.width() - 100, moved.height()));
        // ... but never below the minimum width.
        hoverTo(&window, QPoint(250, 400));
        QCOMPARE(window.width(), moved.width() - 100);
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(250, 400));
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);

        // The bottom-right corner grows from where it was pressed.
        const QRect narrowed = window.geometry();
        const QPoint corner(narrowed.width() - 2, narrowed.height() - 2);
        QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, corner);
        hoverTo(&window, corner + QPoint(40, 30));
        QTRY_COMPARE(window.size(), narrowed.size() + QSize(40, 30));
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, corner + QPoint(40, 30));

        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
        QCOMPARE(doubleClicked.count(), 0);
        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(300, 20));
        QCOMPARE(doubleClicked.count(), 1);
    }

    void wideControlsShortenTheTitleZone()
    {
        // A detached game's seven controls take the right 200 pixels.
        using WindowZones::Zone;
        const WindowZones::Frame frame{5, 50, 200};
        QCOMPARE(WindowZones::zoneAt(QPoint(599, 49), QSize(800, 800), frame), Zone::Title);
        QCOMPARE(WindowZones::zoneAt(QPoint(600, 20), QSize(800, 800), frame), Zone::None);
        QCOMPARE(WindowZones::zoneAt(QPoint(300, 50), QSize(800, 800), frame), Zone::None);
        QCOMPARE(WindowZones::zoneAt(QPoint(797, 2), QSize(800, 800), frame), Zone::TopRight);
    }

    void aDialogIsDraggedByItsTitleBarAndStaysInside()
    {
        QWidget parent;
        parent.resize(600, 400);
        auto *dialog = new FramelessDialog(&parent);
        dialog->setupFrame(QStringLiteral("dialog"), new QWidget);
        dialog->setGeometry(100, 100, 200, 150);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));

        // Neither the right button nor the content drags it.
        for (const auto &[button, at] : {std::pair{Qt::RightButton, QPoint(50, 10)}, std::pair{Qt::LeftButton, QPoint(50, 100)}}) {
            QTest::mousePress(dialog, button, Qt::NoModifier, at);
            hoverTo(dialog, at + QPoint(30, 20));
            QTest::mouseRelease(dialog, button, Qt::NoModifier, at + QPoint(30, 20));
            QCOMPARE(dialog->pos(), QPoint(100, 100));
        }
        QTest::mousePress(dialog, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
        hoverTo(dialog, QPoint(80, 30));
        QCOMPARE(dialog->pos(), QPoint(130, 120));
        hoverTo(dialog, QPoint(2000, -500)); // far past the top-right corner
        QCOMPARE(dialog->geometry(), QRect(400, 0, 200, 150));
    }
};
KAVO_TEST(TestFramelessMover)

#include "tst_framelessmover.moc"
