// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "panels/CDevicePanel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

// Readable test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class CSettingsStore;

// Makes a panel the way the main dialog does: constructed, created, shown, data copied in.
template <class TPanel, class... TArgs> std::unique_ptr<TPanel> OpenPanel(TArgs&&... args) {
    auto panel = std::make_unique<TPanel>(std::forward<TArgs>(args)...);
    panel->Create();
    panel->move(0, 0);
    panel->show();
    panel->UpdateData(false);
    return panel;
}

inline QAbstractButton* ButtonOf(CDevicePanel& panel, int id) {
    return qobject_cast<QAbstractButton*>(panel.Control(id));
}

// A left-button press and release in the middle of a control, as the user clicks.
inline void Click(CDevicePanel& panel, int id) {
    QWidget* widget = panel.Control(id);
    if (!widget) {
        return;
    }
    const QPointF centre = QRectF(widget->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, widget->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, widget->mapToGlobal(centre),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

inline void PressKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

inline QComboBox* ComboOf(CDevicePanel& panel) {
    return qobject_cast<QComboBox*>(panel.Control(1036));
}

// Types into the combo's edit field, replacing what it shows.
inline void TypeText(CDevicePanel& panel, const QString& text) {
    QLineEdit* edit = ComboOf(panel)->lineEdit();
    edit->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(edit, &erase);
    for (const QChar c : text) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &key);
    }
}

inline QStringList ComboItems(CDevicePanel& panel) {
    QStringList items;
    QComboBox* combo = ComboOf(panel);
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

// Runs the event loop until `done` holds or `timeoutMs` passes.
inline bool ProcessUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

inline void ProcessFor(int ms) {
    ProcessUntil([] { return false; }, ms);
}

// What a message box showed; filled when `action` opened one, which is then closed.
struct CShownMessage {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

inline CShownMessage CatchMessageBox(const std::function<void()>& action) {
    auto shown = std::make_shared<CShownMessage>();
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        shown->shown = true;
        shown->title = box->windowTitle();
        shown->text = box->text();
        shown->icon = box->icon();
        box->accept();
    });
    watcher.start();
    action();
    watcher.stop();
    return *shown;
}
