#pragma once

#include "settings/CDisplaySettings.h"

#include <QDialog>

class COutputWindow;
class CSettingsStore;

// The main window of this build: the output window (1020) in the stored colours and font, with
// "Clear Output" (1010). It greets the user with the program's name and version.
class CPlainOutputDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPlainOutputDlg(CSettingsStore& store, QWidget* parent = nullptr);

    COutputWindow& OutputWindow() { return *m_output; }

private:
    CDisplaySettings m_settings;
    COutputWindow* m_output;
};
