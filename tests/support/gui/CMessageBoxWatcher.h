#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <vector>

// While it lives, answers every message box that becomes the active modal widget: it notes
// the box, hands it to `onBox` (which runs inside the box's own event loop, where a user would
// unplug a reader) and then closes it with its default button.
class CMessageBoxWatcher {
public:
    struct CBox {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* parent = nullptr;
    };

    explicit CMessageBoxWatcher(std::function<void(QMessageBox&)> onBox = {})
        : m_onBox(std::move(onBox)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Answer(); });
        m_timer.start();
    }

    const std::vector<CBox>& Boxes() const { return m_boxes; }

private:
    void Answer() {
        // `onBox` may run the event loop; the box it handles is answered once.
        if (m_answering)
            return;
        QPointer<QMessageBox> box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_answering = true;
        m_boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->parentWidget()});
        if (m_onBox)
            m_onBox(*box);
        if (box)
            box->accept();
        m_answering = false;
    }

    std::function<void(QMessageBox&)> m_onBox;
    std::vector<CBox> m_boxes;
    bool m_answering = false;
    QTimer m_timer;
};
