#pragma once

class QWidget;

// The top-level windows the client made itself, as opposed to those Qt makes
// for its own use (a tray icon's window, tool tips, popup menus). At exit only
// these are deleted, so that every page goes before the web profile while the
// windows Qt owns are left to Qt: deleting a tray icon's own window crashes
// the icon's destructor later.
void markClientWindow(QWidget *window);
bool isClientWindow(const QWidget *window);

// Deletes every client window that is still there, and what follows them (a
// tab's page handler, deleted later). Safe when one deletes another.
void deleteClientWindows();
