#include "loadingdialog.h"
#include "widgets/roundedbody.h"
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMovie>

LoadingDialog::LoadingDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(250, 250);

    auto *frame = new QFrame(this);
    frame->setGeometry(10, 10, 230, 230);

    m_movie = new QMovie(QStringLiteral(":/img/loading"), QByteArray(), this);
    m_movie->setScaledSize(QSize(120, 120));
    auto *movieLabel = new QLabel(frame);
    movieLabel->setGeometry(55, 10, 120, 120);
    movieLabel->setScaledContents(true);
    movieLabel->setMovie(m_movie);

    m_tips = new QLabel(frame);
    m_tips->setGeometry(5, 130, 220, 50);
    m_tips->setAlignment(Qt::AlignCenter);
    m_tips->setObjectName(QStringLiteral("tips"));
    m_tips->setStyleSheet(
        QStringLiteral("QLabel#tips{font-family:\"Microsoft YaHei\";font-size: 15px;color: #333333;}"));
    setTips(tr("加载中,请稍候..."));


    auto *shadow = new QGraphicsDropShadowEffect(this);
    shadow->setOffset(0, 0);
    shadow->setColor(QColor(32, 101, 165, 255));
    shadow->setBlurRadius(10.0);
    setGraphicsEffect(shadow);
}

LoadingDialog::~LoadingDialog() = default;

void LoadingDialog::setTips(const QString &text)
{
    m_tips->setText(text);
    setWindowTitle(text);
}

QString LoadingDialog::tips() const
{
    return m_tips->text();
}

// The one instance waits hidden for most of its life (the login window's
// lasts the whole login); its animation runs only while it is seen.
void LoadingDialog::showEvent(QShowEvent *event)
{
    m_movie->start();
    QDialog::showEvent(event);
}

void LoadingDialog::hideEvent(QHideEvent *event)
{
    m_movie->stop();
    QDialog::hideEvent(event);
}

void LoadingDialog::paintEvent(QPaintEvent *event)
{
    // The margin left around the body is where the shadow falls.
    paintRoundedBody(this, QRectF(9, 9, width() - 18, height() - 18), 8.0, Qt::white);
    QDialog::paintEvent(event);
}
