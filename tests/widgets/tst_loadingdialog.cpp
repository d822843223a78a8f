#include "support/testmain.h"
#include "widgets/loadingdialog.h"
#include <QLabel>
#include <QMovie>
#include <QPushButton>

class TestLoadingDialog : public TestCase
{
    Q_OBJECT
private slots:
    void tipTextIsShownAndNamesTheWindow()
    {
        LoadingDialog dialog;
        QCOMPARE(dialog.tips(), QStringLiteral("加载中,请稍候..."));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setTips(QStringLiteral("下载中，请稍等"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("tips"))->text(), QStringLiteral("下载中，请稍等"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("下载中，请稍等"));
        QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("cancelBtn"))->isVisible());
    }

    void animatesOnlyWhileShown()
    {
        LoadingDialog dialog;
        auto *movie = dialog.findChild<QMovie *>();
        QCOMPARE(movie->state(), QMovie::NotRunning);
        dialog.show();
        QCOMPARE(movie->state(), QMovie::Running);
        dialog.close();
        QCOMPARE(movie->state(), QMovie::NotRunning);
    }

    void whiteRoundedBodyOnATransparentMargin()
    {
        LoadingDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QImage image = dialog.grab().toImage();
        QCOMPARE(image.pixelColor(20, 200), QColor(Qt::white)); // inside the body, left of the text
        QCOMPARE(image.pixelColor(2, 2).alpha(), 0);            // the margin
        QVERIFY(image.pixelColor(10, 10) != QColor(Qt::white)); // cut by the rounded corner
        const QColor shadow = image.pixelColor(7, 125);         // just outside the body's left edge
        QVERIFY(shadow.alpha() > 0 && shadow.blue() > shadow.red());
        QCOMPARE(image.pixelColor(240, 125), QColor(Qt::white)); // the body's right edge
    }
};
KAVO_TEST(TestLoadingDialog)

#include "tst_loadingdialog.moc"
