#include "downloadhandler.h"
#include "core/datadir.h"
#include "core/logging.h"
#include "core/revealfile.h"
#include "core/endpoints.h"
#include "widgets/loadingdialog.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineDownloadItem>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWidget>

namespace {
// The engine writes "<name>.download" while bytes arrive; 255 bytes is what
// common file systems allow for a name.
constexpr int kMaxNameBytes = 240;
constexpr int kMaxExtensionBytes = 16;
constexpr int kGiveUpAfterMs = 3000;

int utf8Size(const QString &text)
{
    return text.toUtf8().size();
}

// base cut, by whole characters, until base + tail fits.
QString fitted(QString base, const QString &tail)
{
    while (!base.isEmpty() && utf8Size(base) + utf8Size(tail) > kMaxNameBytes) {
        base.chop(1);
        if (!base.isEmpty() && QChar(base.back()).isHighSurrogate())
            base.chop(1);
    }
    return base + tail;
}

} // namespace

QString downloadFileName(const QString &suggested, const QString &folder)
{
    QString name = suggested.mid(qMax(suggested.lastIndexOf(QLatin1Char('/')), suggested.lastIndexOf(QLatin1Char('\\'))) + 1);
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    if (name.startsWith(QLatin1Char('.')))
        name[0] = QLatin1Char('_');
    if (name.isEmpty())
        name = QStringLiteral("download");

    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0 && utf8Size(name.mid(dot)) <= kMaxExtensionBytes;
    const QString base = hasExtension ? name.left(dot) : name;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    const QDir dir(folder);
    for (int copy = 0;; ++copy) {
        const QString number = copy == 0 ? QString() : QStringLiteral(" (%1)").arg(copy);
        const QString candidate = fitted(base, number + extension);
        if (!QFileInfo::exists(dir.filePath(candidate)) && !QFileInfo::exists(dir.filePath(candidate + QStringLiteral(".download"))))
            return candidate;
    }
}

DownloadHandler::DownloadHandler(QWebEngineProfile *profile, QObject *parent)
    : QObject(parent)
{
    watch(profile);
}

void DownloadHandler::watch(QWebEngineProfile *profile)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadHandler::handleRequest);
}

DownloadHandler::~DownloadHandler()
{
    if (m_download && !m_download->isFinished()) {
        qCWarning(lcWeb).noquote() << "DownloadHandler:: quitting during the download of" << m_path << "; cancelled";
        m_download->disconnect(this);
        // The engine removes its partial file itself: on a cancel, on an
        // interruption it cannot resume, and before it shuts down.
        m_download->cancel();
    }
    qDeleteAll(std::exchange(m_superseded, {}));
    delete m_dialog.data();
}

LoadingDialog *DownloadHandler::loadingDialog() const
{
    return m_dialog;
}

void DownloadHandler::handleRequest(QWebEngineDownloadItem *download)
{
    const QString address = Endpoints::urlForLog(download->url());
    if (download->isFinished()) {
        download->cancel();
        return;
    }
    if (m_download && m_download->id() == download->id()) {
        // Broken off without a way to resume, the engine starts the same
        // download over as a new item: same place, same name.
        qCInfo(lcWeb).noquote() << "DownloadHandler:: starting over:" << address;
        m_download->disconnect(this);
        m_superseded.append(m_download);
        take(download);
        return;
    }
    if (m_download) {
        qCInfo(lcWeb).noquote() << "DownloadHandler:: another download is running; not taken:" << address;
        return; // not accepted: the engine drops it
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!QDir().mkpath(folder) || !isDirWritable(folder)) {
        qCWarning(lcWeb).noquote() << "DownloadHandler:: cannot save in" << folder << "; download refused:" << address;
        return;
    }
    m_path = QDir(folder).filePath(downloadFileName(download->suggestedFileName(), folder));
    QWebEnginePage *page = download->page();
    m_window = page && page->view() ? page->view()->window() : nullptr;
    qCInfo(lcWeb).noquote() << "DownloadHandler::downloadRequested" << address << "->" << m_path;
    m_interruption.clear();
    take(download);
}

void DownloadHandler::take(QWebEngineDownloadItem *download)
{
    const QFileInfo target(m_path);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    download->accept();
    m_download = download;
    connect(download, &QWebEngineDownloadItem::finished, this, [this, download] { finish(download); });
    connect(download, &QWebEngineDownloadItem::downloadProgress, this, &DownloadHandler::showProgress);
    connect(download, &QWebEngineDownloadItem::stateChanged, this, [this, download](QWebEngineDownloadItem::DownloadState state) {
        if (state != QWebEngineDownloadItem::DownloadInterrupted)
            return;
        m_interruption = download->interruptReasonString();
        // The engine may still resume it by itself; one that stays broken
        // off would wait for a resume forever, and never finish.
        QTimer::singleShot(kGiveUpAfterMs, this, [this, item = QPointer<QWebEngineDownloadItem>(download)] {
            if (item && item == m_download && item->state() == QWebEngineDownloadItem::DownloadInterrupted)
                item->cancel();
        });
    });
}

void DownloadHandler::showProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    qCDebug(lcWeb) << "DownloadHandler::on_downloadProgress bytesReceived:" << bytesReceived
                   << "  bytesTotal:" << bytesTotal;
    if (!m_dialog)
        m_dialog = new LoadingDialog(m_window);
    else if (m_dialog->parentWidget() != m_window)
        m_dialog->setParent(m_window, m_dialog->windowFlags()); // over the window that asked this time
    m_dialog->setTips(tr("下载中，请稍等"));
    m_dialog->show();
}

void DownloadHandler::finish(QWebEngineDownloadItem *download)
{
    if (download != m_download)
        return;
    if (m_dialog && m_dialog->isVisible()) {
        qCDebug(lcWeb) << "DownloadHandler::on_finished";
        m_dialog->close();
    }
    m_download = nullptr;
    // Done with, they go now: the profile would keep them to its own end,
    // and the ones a restart replaced are a hazard then.
    download->deleteLater();
    for (const QPointer<QWebEngineDownloadItem> &old : std::exchange(m_superseded, {})) {
        if (old)
            old->deleteLater();
    }
    if (download->state() != QWebEngineDownloadItem::DownloadCompleted) {
        qCWarning(lcWeb).noquote() << "DownloadHandler:: the download of" << QFileInfo(m_path).fileName()
                                   << "did not complete:"
                                   << (m_interruption.isEmpty() ? download->interruptReasonString() : m_interruption);
        return;
    }
    qCInfo(lcWeb).noquote() << "DownloadHandler::on_finished saved" << m_path;
    revealFile(m_path);
}
