#include "downloadhandler.h"
#include "core/datadir.h"
#include "core/logging.h"
#include "core/revealfile.h"
#include "core/endpoints.h"
#include "web/downloadfailurebox.h"
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
// The engine's reasons that Qt 5.15's enum leaves out.
constexpr int kServerContentLengthMismatch = 38; // the connection closed short of the announced length
constexpr int kUserShutdown = 41;
constexpr int kCrash = 50;

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
    if (m_failureBox) {
        m_failureBox->disconnect(this);
        delete m_failureBox.data();
    }
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

DownloadFailureBox *DownloadHandler::failureBox() const
{
    return m_failureBox;
}

void DownloadHandler::handleRequest(QWebEngineDownloadItem *download)
{
    const QString address = Endpoints::urlForLog(download->url());
    if (download->isFinished()) {
        download->cancel();
        return;
    }
    if (m_download && m_download->id() == download->id()) {
        // Resumed or started over (by the engine itself, or after
        // "继续下载"), the engine announces the same download again as a new
        // item: same place, same name.
        qCInfo(lcWeb).noquote() << "DownloadHandler:: starting over:" << address;
        m_download->disconnect(this);
        m_superseded.append(m_download);
        take(download);
        return;
    }
    QWebEnginePage *page = download->page();
    QWidget *window = page && page->view() ? page->view()->window() : nullptr;
    if (m_download) {
        qCInfo(lcWeb).noquote() << "DownloadHandler:: another download is running; not taken:" << address;
        // Not accepted: the engine drops it.
        showFailure(download->suggestedFileName(), tr("另一个文件正在下载，请稍后再试"), false, window);
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!QDir().mkpath(folder) || !isDirWritable(folder)) {
        qCWarning(lcWeb).noquote() << "DownloadHandler:: cannot save in" << folder << "; download refused:" << address;
        showFailure(download->suggestedFileName(), tr("无法写入下载文件夹 %1").arg(folder), false, window);
        return;
    }
    m_path = QDir(folder).filePath(downloadFileName(download->suggestedFileName(), folder));
    m_window = window;
    qCInfo(lcWeb).noquote() << "DownloadHandler::downloadRequested" << address << "->" << m_path;
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
        // Whether the engine can resume it shows only after this signal:
        // one it cannot resume is finished then.
        if (state == QWebEngineDownloadItem::DownloadInterrupted)
            QTimer::singleShot(0, this, [this, item = QPointer<QWebEngineDownloadItem>(download)] { interrupted(item); });
    });
}

void DownloadHandler::interrupted(QWebEngineDownloadItem *download)
{
    if (!download || download != m_download || download->isFinished()
        || download->state() != QWebEngineDownloadItem::DownloadInterrupted)
        return; // going on, or finished for good (finish() says so)
    const QString name = QFileInfo(m_path).fileName();
    qCInfo(lcWeb).noquote() << "DownloadHandler:: the download of" << name << "broke off and can be resumed:"
                            << download->interruptReasonString();
    if (m_dialog)
        m_dialog->close();
    showFailure(name, plainReason(download->interruptReason()), true, m_window);
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
    // A box that offers to resume this download has nothing left to offer.
    if (m_failureBox && m_failureBox->isResumable())
        std::exchange(m_failureBox, nullptr)->close();
    const QString name = QFileInfo(m_path).fileName();
    switch (download->state()) {
    case QWebEngineDownloadItem::DownloadCompleted:
        qCInfo(lcWeb).noquote() << "DownloadHandler::on_finished saved" << m_path;
        revealFile(m_path);
        return;
    case QWebEngineDownloadItem::DownloadCancelled:
        qCInfo(lcWeb).noquote() << "DownloadHandler:: the download of" << name << "was given up";
        return;
    default:
        qCWarning(lcWeb).noquote() << "DownloadHandler:: the download of" << name << "did not complete:"
                                   << download->interruptReasonString();
        showFailure(name, plainReason(download->interruptReason()), false, m_window);
    }
}

void DownloadHandler::showFailure(const QString &fileName, const QString &reason, bool resumable, QWidget *window)
{
    if (m_failureBox) {
        if (m_failureBox->isResumable()) {
            qCInfo(lcWeb).noquote() << "DownloadHandler:: a broken-off download awaits an answer; not shown:" << fileName;
            return;
        }
        std::exchange(m_failureBox, nullptr)->close();
    }
    auto *box = new DownloadFailureBox(fileName, reason, resumable, window);
    if (resumable) {
        m_resumeAsked = false;
        connect(box, &DownloadFailureBox::resumeRequested, this, [this] {
            m_resumeAsked = true;
            if (m_download)
                m_download->resume();
        });
        // Gone without a resume (closed, or with its window): given up, and
        // the engine removes the partial file. Not while the box is still
        // being destroyed: the cancel finishes the download at once, and
        // finishing looks at the box.
        connect(box, &QObject::destroyed, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (!m_resumeAsked && m_download && m_download->state() == QWebEngineDownloadItem::DownloadInterrupted)
                    m_download->cancel();
            });
        });
    }
    box->showCentred();
    m_failureBox = box;
}

QString DownloadHandler::plainReason(int interruptReason)
{
    switch (interruptReason) {
    case QWebEngineDownloadItem::FileAccessDenied:
        return tr("没有写入下载文件夹的权限");
    case QWebEngineDownloadItem::FileNoSpace:
        return tr("磁盘空间不足");
    case QWebEngineDownloadItem::FileNameTooLong:
        return tr("文件名太长");
    case QWebEngineDownloadItem::FileTooLarge:
        return tr("文件太大，磁盘存不下");
    case QWebEngineDownloadItem::FileVirusInfected:
    case QWebEngineDownloadItem::FileBlocked:
    case QWebEngineDownloadItem::FileSecurityCheckFailed:
        return tr("文件没有通过安全检查");
    case QWebEngineDownloadItem::FileFailed:
    case QWebEngineDownloadItem::FileTransientError:
        return tr("文件无法写入磁盘");
    case QWebEngineDownloadItem::FileTooShort:
    case QWebEngineDownloadItem::FileHashMismatch:
        return tr("下载的文件不完整");
    case QWebEngineDownloadItem::NetworkFailed:
    case QWebEngineDownloadItem::NetworkDisconnected:
        return tr("网络连接中断了");
    case QWebEngineDownloadItem::NetworkTimeout:
        return tr("网络连接超时");
    case QWebEngineDownloadItem::NetworkServerDown:
    case QWebEngineDownloadItem::ServerUnreachable:
        return tr("无法连接到服务器");
    case QWebEngineDownloadItem::NetworkInvalidRequest:
        return tr("下载地址无效");
    case QWebEngineDownloadItem::ServerFailed:
        return tr("服务器出错了");
    case QWebEngineDownloadItem::ServerBadContent:
        return tr("服务器上没有这个文件");
    case QWebEngineDownloadItem::ServerUnauthorized:
    case QWebEngineDownloadItem::ServerForbidden:
        return tr("服务器拒绝了这次下载");
    case QWebEngineDownloadItem::ServerCertProblem:
        return tr("服务器的证书有问题");
    case kServerContentLengthMismatch:
        return tr("服务器中途断开了连接");
    case kUserShutdown:
        return tr("程序退出，下载被打断");
    case kCrash:
        return tr("浏览器内核出错");
    default:
        return tr("原因不明");
    }
}
