// What every GUI test needs: the application, delivery of what is posted,
// keys typed where the keyboard focus is, a window shown active, and the
// pixels and ink of offscreen images.
#pragma once

#include <QApplication>
#include <QImage>
#include <QKeySequence>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/ui/draw_context.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/view_base.h"

namespace ui_test {

// Creates the application once, before the first test that needs it.
inline void EnsureApplication() {
    static int s_argc = 1;
    static char s_arg0[] = "gui_tests";
    static char* s_argv[] = {s_arg0, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(s_argc, s_argv);
}

// A member that comes first in a fixture: every widget and font needs the application.
struct AppGuard {
    AppGuard() { EnsureApplication(); }
};

// Delivers what is posted (keys handed on, deferred focus handling, list
// choices, button updates), including what those events post in turn.
inline void Settle() {
    for (int i = 0; i < 6; ++i)
        QCoreApplication::processEvents();
}

// A key pressed where the keyboard focus is now, and what it posts. Without
// text: the test library cannot spell keys like back-tab.
inline void Key(int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* pFocus = QApplication::focusWidget();
    ASSERT_NE(pFocus, nullptr);
    QTest::sendKeyEvent(QTest::Click, pFocus, static_cast<Qt::Key>(nKey), QString(), modifiers);
    Settle();
}

// Characters typed one by one where the focus is, each settled, as a user
// types them. Letters beyond ASCII come as the text of a key the keyboard has
// no code for, as from an input method.
inline void Type(const QString& strText) {
    for (QChar ch : strText) {
        QWidget* pFocus = QApplication::focusWidget();
        ASSERT_NE(pFocus, nullptr);
        Qt::Key key = ch.unicode() < 0x80 ? static_cast<Qt::Key>(QKeySequence(QString(ch))[0].key()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, pFocus, key, QString(ch), Qt::NoModifier);
        Settle();
    }
}

// Shows a top-level window and makes it the active one, so that focus, keys
// and clicks travel as they do for a user.
inline void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    Settle();
}

inline platform::Color PixelAt(const QImage& image, int x, int y) {
    QRgb c = image.pixel(x, y);
    return platform::Rgb(qRed(c), qGreen(c), qBlue(c));
}

// The bounding box of the pixels inside rc (the whole image when empty) whose
// grey differs by more than nThreshold from the background pixel's.
inline QRect Ink(const QImage& image, QRect rc = QRect(), QRgb background = qRgb(255, 255, 255), int nThreshold = 0) {
    if (rc.isEmpty())
        rc = image.rect();
    QRect ink;
    for (int y = rc.top(); y <= rc.bottom(); ++y)
        for (int x = rc.left(); x <= rc.right(); ++x) {
            QRgb c = image.pixel(x, y);
            if (nThreshold == 0 ? (c & 0xFFFFFF) != (background & 0xFFFFFF)
                                : qAbs(qGray(c) - qGray(background)) > nThreshold)
                ink |= QRect(x, y, 1, 1);
        }
    return ink;
}

// Sends a command by id to the frame as a menu, a key or a button does; false
// when its update rule disabled it.
inline bool RunCommand(platform::CMainFrame& frame, unsigned nId) {
    const bool bRan = frame.ExecuteCommand(nId);
    Settle();
    return bRan;
}

// The state the command's update rule gives it now.
inline platform::CCmdUI CommandState(platform::CMainFrame& frame, unsigned nId) {
    platform::CCmdUI cmdUI(nId);
    frame.UpdateCommand(cmdUI);
    return cmdUI;
}

}  // namespace ui_test
