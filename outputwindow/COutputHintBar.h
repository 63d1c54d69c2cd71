// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;

// A bar at the top of the output window that tells the user of a choice the output could be
// shown with, offers it on one button and can be dismissed. It never changes the output.
class COutputHintBar : public QWidget {
    Q_OBJECT
public:
    COutputHintBar(const QString& actionText, QWidget* parent);

    // Shows the bar with `text`.
    void Offer(const QString& text);
    QString Text() const;
    QPushButton& ActionButton() { return *m_action; }
    QToolButton& CloseButton() { return *m_close; }
    // The height that shows the whole text at `width`, wrapped as needed.
    int HeightAt(int width) const;

Q_SIGNALS:
    // The button was clicked; the bar has closed.
    void Accepted();
    void Opened();
    void Closed();

protected:
    bool event(QEvent* event) override;

private:
    void Dismiss();

    QLabel* m_text = nullptr;
    QPushButton* m_action = nullptr;
    QToolButton* m_close = nullptr;
};
