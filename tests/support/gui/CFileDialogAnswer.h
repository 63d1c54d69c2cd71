// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <utility>

// The file dialog that opens next is answered as a user would: the file type chosen from its
// list (unless `filterIndex` is -1), the name typed, Enter pressed. Its folder and proposed name
// at opening are noted.
class CFileDialogAnswer {
public:
    explicit CFileDialogAnswer(QString path, int filterIndex = -1) : m_path(std::move(path)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this, filterIndex] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                return;
            }
            m_timer.stop();
            m_folder = dialog->directory().absolutePath();
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (!types || !name) {
                dialog->reject();
                return;
            }
            m_proposedName = name->text();
            if (filterIndex >= 0) {
                types->setFocus();
                for (int i = types->currentIndex(); i < filterIndex; ++i) {
                    QTest::keyClick(types, Qt::Key_Down);
                }
            }
            // Typed text would open the name completer's popup, which takes the Enter key.
            name->setFocus();
            name->setText(m_path);
            QTest::keyClick(name, Qt::Key_Return);
        });
        m_timer.start();
    }
    QString Folder() const { return m_folder; }
    QString ProposedName() const { return m_proposedName; }

private:
    QString m_path;
    QString m_folder;
    QString m_proposedName;
    QTimer m_timer;
};
