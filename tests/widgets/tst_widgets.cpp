#include "support/testmain.h"
#include "widgets/loadingdialog.h"
#include <QLabel>
#include <QPushButton>

class TestLoadingDialog : public QObject
{
    Q_OBJECT
private slots:
    void tipTextNamesTheWindow()
    {
        LoadingDialog dialog;
        QCOMPARE(dialog.tips(), QStringLiteral("加载中,请稍候..."));
        QCOMPARE(dialog.windowTitle(), dialog.tips());

        dialog.setTips(QStringLiteral("自动登录中，请稍等"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("tips"))->text(), QStringLiteral("自动登录中，请稍等"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setTips(QStringLiteral("下载中，请稍等"));
        QCOMPARE(dialog.tips(), QStringLiteral("下载中，请稍等"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("下载中，请稍等"));
    }

    void floatsWithoutFrameOrTaskBarEntry()
    {
        LoadingDialog dialog;
        const Qt::WindowFlags flags = dialog.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool); // no task-bar entry
        QVERIFY(flags & Qt::FramelessWindowHint);
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QCOMPARE(dialog.size(), QSize(250, 250));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        // Closing it must not end the program while the login window is hidden.
        QVERIFY(!dialog.testAttribute(Qt::WA_QuitOnClose));
        QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("cancelBtn"))->isVisibleTo(&dialog));
    }

    void whiteRoundedBodyOnATransparentMargin()
    {
        LoadingDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QImage image = dialog.grab().toImage();
        QCOMPARE(image.pixelColor(20, 200), QColor(Qt::white));    // inside the body, left of the text
        QCOMPARE(image.pixelColor(2, 2).alpha(), 0);               // the margin
        QVERIFY(image.pixelColor(10, 10) != QColor(Qt::white));    // cut by the rounded corner
        const QColor shadow = image.pixelColor(7, 125);            // just outside the body's left edge
        QVERIFY(shadow.alpha() > 0 && shadow.blue() > shadow.red());
        QCOMPARE(image.pixelColor(240, 125), QColor(Qt::white));    // the body's right edge
    }

    void cancelEndsTheWait()
    {
        LoadingDialog dialog;
        QSignalSpy cancelled(&dialog, &LoadingDialog::cancelWaiting);
        dialog.show();
        dialog.cancelBtnClicked();
        QCOMPARE(cancelled.count(), 1);
        QCOMPARE(dialog.result(), -1);
        QVERIFY(!dialog.isVisible());
    }
};

int main(int argc, char **argv)
{
    return runTests<TestLoadingDialog>(argc, argv);
}

#include "tst_widgets.moc"
