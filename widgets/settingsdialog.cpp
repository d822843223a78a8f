#include "settingsdialog.h"
#include "core/autostart.h"
#include "core/config.h"
#include "core/logging.h"
#include "widgets/hotkeyedit.h"
#include "widgets/sidetabwidget.h"
#include "widgets/primarybutton.h"
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
QCheckBox *settingBox(const QString &text, bool checked, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    // Set before it is connected: opening the dialog writes nothing.
    box->setChecked(checked);
    return box;
}

QHBoxLayout *row(QWidget *a, QWidget *b = nullptr)
{
    auto *layout = new QHBoxLayout;
    layout->addWidget(a);
    if (b)
        layout->addWidget(b);
    return layout;
}
} // namespace

SettingsDialog::SettingsDialog(Config *config, QWidget *parent)
    : FramelessDialog(parent)
    , m_config(config)
{
    resize(380, 300);
    qCDebug(lcWidgets) << "autostr" << m_config->value(Settings::kAutoStart).toBool();

    auto *tabs = new SideTabWidget;
    tabs->setStyleSheet(QStringLiteral("QTabBar::tab{width:50px}"));
    tabs->setContentsMargins(10, 10, 10, 10);
    tabs->addTab(createGeneralPage(), tr("常规设置"));
    tabs->addTab(createHotkeyPage(), tr("快捷设置"));
    setupFrame(tr("系统设置"), tabs);
}

QWidget *SettingsDialog::createGeneralPage()
{
    auto *page = new QWidget;
    auto *autoStart = settingBox(tr("开机自动启动"), m_config->value(Settings::kAutoStart).toBool(), page);
    auto *autoLogin = settingBox(tr("启动时自动登录"), m_config->value(Settings::kAutoLogin).toBool(), page);
    connect(autoStart, &QCheckBox::stateChanged, this, [this, autoStart] {
        m_config->setValue(Settings::kAutoStart, autoStart->isChecked());
        if (autoStart->isChecked())
            EnableAutoStart();
        else
            DisableAutoStart();
    });
    connect(autoLogin, &QCheckBox::stateChanged, this,
            [this, autoLogin] { m_config->setValue(Settings::kAutoLogin, autoLogin->isChecked()); });

    auto *heading = new QLabel(tr("启动"), page);
    heading->setStyleSheet(QStringLiteral("font-weight:bold"));
    auto *boxes = new QVBoxLayout;
    boxes->addWidget(autoStart);
    boxes->addWidget(autoLogin);
    auto *line = new QHBoxLayout;
    line->addWidget(heading, 0, Qt::AlignTop);
    line->addSpacing(10);
    line->addLayout(boxes);
    line->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(20, 20, 0, 0);
    layout->addLayout(line);
    layout->addStretch();
    return page;
}

QWidget *SettingsDialog::createHotkeyPage()
{
    auto *page = new QWidget;
    m_bossKeyEdit = new HotkeyEdit(m_config->hotkey(Settings::kBossKey), page);
    m_fullScreenKeyEdit = new HotkeyEdit(m_config->hotkey(Settings::kFullScreenKey), page);
    for (auto [edit, key] : {std::pair{m_bossKeyEdit, Settings::kBossKey}, std::pair{m_fullScreenKeyEdit, Settings::kFullScreenKey}}) {
        connect(edit, &HotkeyEdit::chordEntered, this,
                [this, edit = edit, key = key](const QKeySequence &chord, const QKeySequence &before) {
                    recordHotkey(edit, key, chord, before);
                });
    }
    m_refusal = new QLabel(page);
    m_refusal->setStyleSheet(QStringLiteral("color:red"));
    // A line's room kept, so that the button below stays put.
    m_refusal->setMinimumHeight(m_refusal->fontMetrics().height());
    QSizePolicy keepRoom = m_refusal->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    m_refusal->setSizePolicy(keepRoom);
    m_refusal->hide();
    auto *restore = new PrimaryButton(page);
    restore->setText(tr("恢复初始设置"));
    restore->setFixedSize(100, 30);
    connect(restore, &QPushButton::clicked, this, &SettingsDialog::restoreDefaultKeys);
    auto *note = new QLabel(tr("提醒：恢复初始设置后立即生效"), page);

    auto *bossLabel = new QLabel(tr("盒子隐藏："), page);
    bossLabel->setBuddy(m_bossKeyEdit);
    auto *fullLabel = new QLabel(tr("窗口满屏："), page);
    fullLabel->setBuddy(m_fullScreenKeyEdit);
    auto *layout = new QVBoxLayout(page);
    layout->addSpacing(10);
    layout->addLayout(row(bossLabel, m_bossKeyEdit));
    layout->addSpacing(10);
    layout->addLayout(row(fullLabel, m_fullScreenKeyEdit));
    layout->addLayout(centredRow(m_refusal));
    layout->addSpacing(10);
    layout->addLayout(centredRow(restore));
    layout->addSpacing(10);
    layout->addLayout(centredRow(note));
    layout->addStretch();
    return page;
}

void SettingsDialog::recordHotkey(HotkeyEdit *edit, const Settings::Key &key, const QKeySequence &chord,
                                  const QKeySequence &before)
{
    // Empty (Backspace) is kept: the next start puts the default back.
    const HotkeyEdit *other = edit == m_bossKeyEdit ? m_fullScreenKeyEdit : m_bossKeyEdit;
    QString refusal;
    if (!chord.isEmpty() && !HotkeyEdit::isUsable(chord))
        refusal = tr("快捷键需包含 Ctrl、Alt 或 Shift");
    else if (!chord.isEmpty() && chord == other->keySequence())
        refusal = tr("该快捷键已被占用");
    m_refusal->setText(refusal);
    m_refusal->setVisible(!refusal.isEmpty());
    if (refusal.isEmpty())
        m_config->setValue(key, chord.toString(QKeySequence::PortableText));
    else
        edit->setKeySequence(before);
}

void SettingsDialog::restoreDefaultKeys()
{
    for (auto [edit, current, fallback] :
         {std::tuple{m_bossKeyEdit, Settings::kBossKey, Settings::kDefaultBossKey},
          std::tuple{m_fullScreenKeyEdit, Settings::kFullScreenKey, Settings::kDefaultFullScreenKey}}) {
        const QString text = m_config->value(fallback).toString();
        edit->setKeySequence(Settings::hotkeyFromText(text, fallback.keyName()));
        m_config->setValue(current, text);
    }
    m_refusal->hide();
}
