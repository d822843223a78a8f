#include "app/startup.h"
#include "support/testmain.h"
#include <QDir>
#include <QFontInfo>
#include <QImageReader>
#include <QMediaPlayer>
#include <QMovie>
#include <QTranslator>

class TestResources : public TestCase
{
    Q_OBJECT
private slots:
    void everyPictureDecodes()
    {
        const QStringList pictures = QDir(QStringLiteral(":/img")).entryList(QDir::Files);
        QVERIFY(pictures.size() > 40);
        for (const QString &name : pictures) {
            if (name == QLatin1String("music"))
                continue;
            QImageReader reader(QStringLiteral(":/img/") + name);
            QVERIFY2(!reader.read().isNull(), qPrintable(name + QStringLiteral(": ") + reader.errorString()));
        }
        QMovie loading(QStringLiteral(":/img/loading"));
        QVERIFY(loading.isValid() && loading.frameCount() > 1);
    }

    void alarmSoundPlays()
    {
        QMediaPlayer player;
        player.setMedia(QUrl(QStringLiteral("qrc:/img/music")));
        player.play();
        QTRY_COMPARE_WITH_TIMEOUT(player.mediaStatus(), QMediaPlayer::EndOfMedia, 20000);
        QCOMPARE(player.error(), QMediaPlayer::NoError);
        QVERIFY2(player.duration() >= 2000, qPrintable(QString::number(player.duration())));
    }

    void translationFollowsTheInterfaceLanguages_data()
    {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<bool>("installed");
        QTest::newRow("English only") << QStringList{"en-US", "en"} << false;
        QTest::newRow("Chinese after English") << QStringList{"en-GB", "zh-CN"} << true;
        QTest::newRow("script tag") << QStringList{"zh-Hans-CN"} << true;
        QTest::newRow("Taiwan") << QStringList{"zh-TW"} << false;
    }

    void translationFollowsTheInterfaceLanguages()
    {
        QFETCH(QStringList, languages);
        QFETCH(bool, installed);
        QTranslator translator;
        QCOMPARE(installTranslation(&translator, languages), installed);
        QCOMPARE(translator.language(), installed ? QStringLiteral("zh_CN") : QString());
        QCoreApplication::removeTranslator(&translator);
    }

    void sandboxIsSwitchedOffOnlyForRoot()
    {
        QVERIFY(!sandboxMustBeDisabled(false, QByteArray(), QByteArray()));
        QVERIFY(sandboxMustBeDisabled(true, QByteArray("0"), QByteArray("--disable-gpu --no-sandboxing")));
        QVERIFY(!sandboxMustBeDisabled(true, QByteArray("1"), QByteArray()));
        QVERIFY(!sandboxMustBeDisabled(true, QByteArray(), QByteArray("--disable-gpu --no-sandbox")));
    }

    void chineseTextHasAFaceToRenderIn()
    {
        const QFont before = QApplication::font();
        applyApplicationFont();
        for (const QString &family : {QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei")}) {
            const QFont asked(family, 9);
            QVERIFY2(QFontMetrics(asked).inFontUcs4(0x6E38), qPrintable(QFontInfo(asked).family())); // 游
        }
        QApplication::setFont(before);
    }
};
KAVO_TEST(TestResources)

#include "tst_resources.moc"
