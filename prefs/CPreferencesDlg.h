#pragma once

#include "settings/CDisplaySettings.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class CSimpleComboBox;
class QCheckBox;

// The "Preferences Dialog" (template 135): the six output colours, the output font and size and
// the exit option, edited on values copied in before it runs and taken out after OK.
class CPreferencesDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPreferencesDlg(QWidget* parent = nullptr);

    // The function that CDisplaySettings::EditPreferences runs: the dialog modally on the copy,
    // true (with the copy updated) when it ends with OK.
    static bool Run(CDisplaySettings& copy, QWidget* parent);

    // The families a font chooser lists, from the font database's names: each once (families
    // differing only in case are one), foundry suffixes dropped, sorted as the font list sorts.
    static QStringList FontFamilies(const QStringList& available);

    void SetValues(const CDisplaySettings& settings);
    void TakeValues(CDisplaySettings& settings) const;

    void setVisible(bool visible) override;
    void accept() override;

private:
    void OnInitDialog();
    void DoDataExchange(bool saveAndValidate);

    CSimpleComboBox* m_sizeCombo = nullptr;
    CSimpleComboBox* m_fontCombo = nullptr;
    QCheckBox* m_untriggerCheck = nullptr;
    int32_t m_untrigger = 0;
    QString m_fontName;
    QString m_sizeText;
    COLORREF m_colorRaw = 0;
    COLORREF m_colorHex = 0;
    COLORREF m_colorSymbology = 0;
    COLORREF m_colorLabel = 0;
    COLORREF m_colorOut = 0;
    COLORREF m_colorDefault = 0;
    int32_t m_fontSize = 0;
    QStringList m_fontNames;
    bool m_initialised = false;
};
