#include "app/CPlainOutputDlg.h"

#include "app/COutputWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CPlainOutputDlg::CPlainOutputDlg(CSettingsStore& store, QWidget* parent)
    : QDialog(parent), m_settings(&store), m_output(new COutputWindow(this)) {
    m_settings.Load("Settings");
    setWindowTitle(QStringLiteral("Vantrel"));
    resize(640, 400);

    auto* clear = new QPushButton(QStringLiteral("Clear Output"), this);
    clear->setObjectName(QStringLiteral("1010"));
    clear->setAutoDefault(false);
    connect(clear, &QPushButton::clicked, m_output, &COutputWindow::ClearOutput);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clear);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_output, 1);

    m_output->SetOutputFont(m_settings.m_fontName, m_settings.m_fontPoints);
    m_output->AppendText("Vantrel", m_settings.m_colorLabel, true);
    m_output->AppendText(" - ", m_settings.m_colorDefault, false);
    m_output->AppendText(VANTREL_VERSION, m_settings.m_colorSymbology, false);
    m_output->AppendText("\r\n", m_settings.m_colorDefault, false);
    m_output->ScrollToEnd();
}
