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
QCheckBox *settingBox(const QString &text, const Settings::Key &key, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    // Set before it is connected: opening the dialog writes nothing.
    box->setChecked(Config().GetValue(key).toBool());
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

SettingsDialog::SettingsDialog(QWidget *mainWindow)
    : FramelessDialog(mainWindow)
    , mainWindow(mainWindow)
{
    setTitle(tr("系统设置"));
    resize(380, 300);
    qCDebug(lcWidgets) << "autostr" << Config().GetValue(Settings::kAutoStart).toBool();

    auto *tabs = new SideTabWidget;
    tabs->setStyleSheet(QStringLiteral("QTabBar::tab{width:50px}"));
    tabs->setContentsMargins(10, 10, 10, 10);
    tabs->addTab(createGeneralPage(), tr("常规设置"));
    tabs->addTab(createHotkeyPage(), tr("快捷设置"));
    setupFrame(tabs);
}

QWidget *SettingsDialog::createGeneralPage()
{
    auto *page = new QWidget;
    auto *autoStart = settingBox(tr("开机自动启动"), Settings::kAutoStart, page);
    auto *autoLogin = settingBox(tr("启动时自动登录"), Settings::kAutoLogin, page);
    connect(autoStart, &QCheckBox::stateChanged, this, [autoStart] {
        Config().SetValue(Settings::kAutoStart, autoStart->isChecked());
        if (autoStart->isChecked())
            EnableAutoStart();
        else
            DisableAutoStart();
    });
    connect(autoLogin, &QCheckBox::stateChanged, this,
            [autoLogin] { Config().SetValue(Settings::kAutoLogin, autoLogin->isChecked()); });

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
    hideGameKeyEdit = new HotkeyEdit(Settings::hotkey(Settings::kBossKey), page);
    zoomWindowEdit = new HotkeyEdit(Settings::hotkey(Settings::kFullScreenKey), page);
    for (auto [edit, key] : {std::pair{hideGameKeyEdit, Settings::kBossKey}, std::pair{zoomWindowEdit, Settings::kFullScreenKey}}) {
        connect(edit, &QKeySequenceEdit::editingFinished, this, [edit = edit, key = key] {
            Config().SetValue(key, edit->keySequence().toString(QKeySequence::PortableText));
        });
    }
    auto *restore = new PrimaryButton(page);
    restore->setText(tr("恢复初始设置"));
    restore->setFixedSize(100, 30);
    connect(restore, &QPushButton::clicked, this, &SettingsDialog::restoreDefaultKeys);
    auto *note = new QLabel(tr("提醒：快捷键恢复初始化后，重启软件生效"), page);

    auto *bossLabel = new QLabel(tr("盒子隐藏："), page);
    bossLabel->setBuddy(hideGameKeyEdit);
    auto *fullLabel = new QLabel(tr("窗口满屏："), page);
    fullLabel->setBuddy(zoomWindowEdit);
    auto *layout = new QVBoxLayout(page);
    layout->addSpacing(10);
    layout->addLayout(row(bossLabel, hideGameKeyEdit));
    layout->addSpacing(10);
    layout->addLayout(row(fullLabel, zoomWindowEdit));
    layout->addSpacing(20);
    layout->addLayout(centredRow(restore));
    layout->addSpacing(10);
    layout->addLayout(centredRow(note));
    layout->addStretch();
    return page;
}

void SettingsDialog::restoreDefaultKeys()
{
    // Written, and shown, but not announced: the keys in force stay until
    // the next start, as the note under the button says.
    for (auto [edit, current, fallback] :
         {std::tuple{hideGameKeyEdit, Settings::kBossKey, Settings::kDefaultBossKey},
          std::tuple{zoomWindowEdit, Settings::kFullScreenKey, Settings::kDefaultFullScreenKey}}) {
        const QString text = Config().GetValue(fallback).toString();
        edit->setKeySequence(Settings::hotkeyFromText(text, fallback.keyName()));
        Config().SetValue(current, text, Config::Notice::Quiet);
    }
}
