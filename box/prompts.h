#pragma once

class QWidget;

// The box's questions and answers to the user, each a modal message box.
namespace Prompts {

// "检查更新" with nothing newer.
void tellUpToDate();
// "检查更新" with a newer version: true when the user wants it.
bool askToDownloadNewer(QWidget *parent);
// The server insists on an update: true for "同意", false when the box was
// closed any other way (its close button, Escape).
bool insistOnUpdate();
// The close icon and the window manager's close: true for "确定".
bool askToQuit(QWidget *parent);

} // namespace Prompts
