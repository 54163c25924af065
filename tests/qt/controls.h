// The window's controls as the tests reach them: the children named as in
// the design ("mils", "Command1", "Label1", ...) and the out-of-range
// warning ("warning").
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

template<class T = QWidget> T* control(const QWidget& window, const char* name)
{
    return window.findChild<T*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

inline QLineEdit* field(const QWidget& window, const char* name)
{
    return control<QLineEdit>(window, name);
}

inline QPushButton* button(const QWidget& window, const char* name)
{
    return control<QPushButton>(window, name);
}
