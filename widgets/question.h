#pragma once

class QString;
class QWidget;

// A modal question in the box's own words, "确定" and "取消" whatever the
// system's language: true for "确定"; "取消", Escape and the box's close
// button all say no.
bool askToConfirm(QWidget *parent, const QString &title, const QString &text);
