#pragma once
// Acts on a modal dialog of our own (not a question of the prompts seam,
// such as the client/supplier editor) once its event loop runs. For tests
// that link the widget library.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace velto::test {

// Gives up after about two seconds, hiding whatever modal window is left,
// so a test fails instead of hanging.
inline void whenModal(const char *className, std::function<void(QWidget *)> act, int tries = 200)
{
    QTimer::singleShot(10, qApp, [=] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w->inherits(className) && w->isVisible()) {
            act(w);
            return;
        }
        if (tries > 0) {
            whenModal(className, act, tries - 1);
            return;
        }
        qWarning("no modal %s appeared", className);
        if (w)
            w->hide();
    });
}

} // namespace velto::test
