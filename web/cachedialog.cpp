#include "cachedialog.h"
#include "core/utilities.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWebEngineProfile>

namespace {
QLabel *picture(const QString &image, int side)
{
    auto *label = new QLabel;
    label->setFixedSize(side, side);
    label->setScaledContents(true);
    label->setPixmap(QPixmap(image));
    return label;
}
} // namespace

QString CacheDialog::sizeText(qint64 bytes)
{
    return QString::number(quint64(qMax<qint64>(bytes, 0)) >> 20) + QStringLiteral("MB");
}

CacheDialog::CacheDialog(const QList<QWebEngineProfile *> &profiles)
    : QDialog(nullptr)
{
    for (QWebEngineProfile *profile : profiles)
        m_profiles.append(profile);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(360, 300);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(tr("清理"));
    setWindowIcon(QIcon(QStringLiteral("://img/clear")));
    setStyleSheet(QStringLiteral("background-color:white"));

    auto *first = new QHBoxLayout;
    first->addWidget(picture(QStringLiteral("://img/clear_1"), 64));
    first->addSpacing(20);
    auto *slogan = new QLabel(tr("清理让游戏运行更流畅~"));
    QFont font = slogan->font();
    font.setPointSize(13);
    slogan->setFont(font);
    QPalette palette = slogan->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    slogan->setPalette(palette);
    first->addWidget(slogan, 0, Qt::AlignHCenter);
    first->addStretch();

    auto *second = new QHBoxLayout;
    second->addSpacing(20);
    second->addWidget(picture(QStringLiteral("://img/file"), 23));
    auto *cache = new QLabel(tr("文件缓存"));
    cache->setStyleSheet(QStringLiteral("font-weight:bold;font:16px;color:gray"));
    second->addWidget(cache);
    second->addStretch();
    m_sizeLabel = new QLabel(sizeText(cachedBytes()));
    m_sizeLabel->setStyleSheet(QStringLiteral("font-weight:bold;font:16px;color:#22c064"));
    second->addWidget(m_sizeLabel);
    second->addSpacing(20);

    auto *third = new QHBoxLayout;
    auto *clear = new QPushButton(tr("清理"));
    clear->setFixedSize(150, 35);
    clear->setStyleSheet(QStringLiteral("background:#409eff;color:white;border-radius:5px;font:16px"));
    third->addWidget(clear);
    connect(clear, &QPushButton::clicked, this, &CacheDialog::clearCaches);

    auto *outer = new QVBoxLayout(this);
    outer->addSpacing(30);
    outer->addLayout(first);
    outer->addSpacing(30);
    outer->addLayout(second);
    outer->addSpacing(30);
    outer->addLayout(third);
    outer->addStretch();
}

qint64 CacheDialog::cachedBytes() const
{
    qint64 cached = 0;
    for (const QPointer<QWebEngineProfile> &profile : m_profiles) {
        // One off the record keeps no cache on disk.
        if (profile && !profile->isOffTheRecord() && !profile->cachePath().isEmpty())
            cached += dirSize(profile->cachePath());
    }
    return cached;
}

void CacheDialog::clearCaches()
{
    // The engine clears in the background; the label does not wait.
    for (const QPointer<QWebEngineProfile> &profile : qAsConst(m_profiles)) {
        if (profile)
            profile->clearHttpCache();
    }
    m_sizeLabel->setText(tr("清理完成"));
}
