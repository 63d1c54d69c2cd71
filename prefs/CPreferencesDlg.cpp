#include "prefs/CPreferencesDlg.h"

#include "layout/CDialogTemplate.h"
#include "prefs/CColorButton.h"
#include "prefs/CSimpleComboBox.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>

namespace {

using K = CControlKind;

// Template 135, in tab order; the colour buttons and the two lists are made by the dialog.
const CDialogTemplate kTemplate135{
    135,
    "Preferences Dialog",
    277,
    175,
    false,
    {
        {IDC_STATIC, K::GroupBox, "Colors", 7, 7, 130, 125, CTL_NONE},
        {IDC_STATIC, K::GroupBox, "Misc", 7, 136, 130, 32, CTL_NONE},
        {IDC_STATIC, K::GroupBox, "Font", 144, 7, 126, 139, CTL_NONE},
        {IDC_STATIC, K::Static, "default", 14, 23, 84, 8, CTL_NONE},
        {1007, K::PushButton, nullptr, 100, 20, 30, 14, CTL_CUSTOM},
        {IDC_STATIC, K::Static, "Label content", 14, 41, 84, 8, CTL_NONE},
        {1003, K::PushButton, nullptr, 100, 38, 30, 14, CTL_CUSTOM},
        {IDC_STATIC, K::Static, "Symbology name", 14, 59, 84, 8, CTL_NONE},
        {1005, K::PushButton, nullptr, 100, 56, 30, 14, CTL_CUSTOM},
        {IDC_STATIC, K::Static, "Raw data", 14, 77, 84, 8, CTL_NONE},
        {1009, K::PushButton, nullptr, 100, 74, 30, 14, CTL_CUSTOM},
        {IDC_STATIC, K::Static, "Non printable characters", 14, 95, 84, 8, CTL_NONE},
        {1001, K::PushButton, nullptr, 100, 92, 30, 14, CTL_CUSTOM},
        {IDC_STATIC, K::Static, "Out Data", 14, 113, 84, 8, CTL_NONE},
        {1011, K::PushButton, nullptr, 100, 110, 30, 14, CTL_CUSTOM},
        {1021, K::CheckBox, "Untrigger before disconnect", 14, 146, 116, 16, CTL_NONE},
        {IDC_STATIC, K::Static, "Font:", 151, 18, 76, 8, CTL_NONE},
        {1023, K::ComboBox, nullptr, 151, 28, 78, 112, CTL_SIMPLE | CTL_SORTED | CTL_CUSTOM},
        {IDC_STATIC, K::Static, "Size:", 235, 18, 28, 8, CTL_NONE},
        {1024, K::ComboBox, nullptr, 235, 28, 28, 112, CTL_SIMPLE | CTL_CUSTOM},
        {1, K::PushButton, "OK", 164, 154, 50, 14, CTL_DEFAULT},
        {2, K::PushButton, "Cancel", 220, 154, 50, 14, CTL_NONE},
    },
};

const int kColorButtons[] = {1007, 1003, 1005, 1009, 1001, 1011};

const int kFontSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28};

// The size text as "%d" reads it: leading blanks, a sign and digits. False when no number
// starts the text, or when the size in tenths of a point would not fit.
bool ParseFontSize(const QString& text, int32_t& tenths) {
    const QByteArray bytes = text.toUtf8();
    const char* begin = bytes.constData();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, 10);
    if (end == begin || errno == ERANGE)
        return false;
    constexpr long long kLimit = std::numeric_limits<int32_t>::max() / 10;
    if (value > kLimit || value < -kLimit)
        return false;
    tenths = int32_t(value * 10);
    return true;
}

} // namespace

CPreferencesDlg::CPreferencesDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("135"));
    CDialogBuilder::Build(kTemplate135, *this);
    for (int id : kColorButtons)
        CDialogBuilder::PlaceControl(kTemplate135, *this, *new CColorButton(this), id);
    for (int id : {1023, 1024}) {
        const bool sorted = CDialogBuilder::FindControl(kTemplate135, id)->options & CTL_SORTED;
        CDialogBuilder::PlaceControl(kTemplate135, *this, *new CSimpleComboBox(sorted, this), id);
    }
    CDialogBuilder::ApplyTabOrder(kTemplate135, *this);
    setFixedSize(size());
    connect(findChild<QPushButton*>(QStringLiteral("1"), Qt::FindDirectChildrenOnly),
            &QPushButton::clicked, this, &CPreferencesDlg::accept);
    connect(findChild<QPushButton*>(QStringLiteral("2"), Qt::FindDirectChildrenOnly),
            &QPushButton::clicked, this, &CPreferencesDlg::reject);

    m_untriggerCheck = findChild<QCheckBox*>(QStringLiteral("1021"), Qt::FindDirectChildrenOnly);
    m_fontCombo = findChild<CSimpleComboBox*>(QStringLiteral("1023"));
    m_sizeCombo = findChild<CSimpleComboBox*>(QStringLiteral("1024"));
}

bool CPreferencesDlg::Run(CDisplaySettings& copy, QWidget* parent) {
    const QPointer<CPreferencesDlg> dialog = new CPreferencesDlg(parent);
    dialog->SetValues(copy);
    const bool ok = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return false;
    if (ok)
        dialog->TakeValues(copy);
    delete dialog.data();
    return ok;
}

void CPreferencesDlg::SetValues(const CDisplaySettings& settings) {
    m_colorRaw = settings.m_colorRaw;
    m_colorHex = settings.m_colorHex;
    m_colorSymbology = settings.m_colorSymbology;
    m_colorLabel = settings.m_colorLabel;
    m_colorOut = settings.m_colorOut;
    m_colorDefault = settings.m_colorDefault;
    m_untrigger = settings.m_triggerOffAtExit;
    m_fontName = QString::fromStdString(settings.m_fontName);
    m_fontSize = settings.m_fontPoints;
}

void CPreferencesDlg::TakeValues(CDisplaySettings& settings) const {
    settings.m_colorRaw = m_colorRaw;
    settings.m_colorHex = m_colorHex;
    settings.m_colorSymbology = m_colorSymbology;
    settings.m_colorLabel = m_colorLabel;
    settings.m_colorOut = m_colorOut;
    settings.m_colorDefault = m_colorDefault;
    settings.m_triggerOffAtExit = m_untrigger;
    settings.m_fontName = m_fontName.toStdString();
    settings.m_fontPoints = m_fontSize;
}

void CPreferencesDlg::setVisible(bool visible) {
    if (visible && !m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void CPreferencesDlg::OnInitDialog() {
    DoDataExchange(false);

    m_fontNames = FontFamilies(QFontDatabase::families());
    m_fontCombo->ResetContent();
    for (const QString& name : m_fontNames)
        m_fontCombo->AddString(name);

    m_sizeCombo->ResetContent();
    for (int size : kFontSizes)
        m_sizeCombo->AddString(QString::number(size));

    // Again, now that the lists can select the current font and size.
    DoDataExchange(false);
}

QStringList CPreferencesDlg::FontFamilies(const QStringList& available) {
    // Where several foundries make a family, the font database names it once per foundry as
    // "Family [Foundry]"; a face is chosen by its family name alone.
    static const QRegularExpression foundry(QStringLiteral("\\s\\[[^\\[\\]]*\\]$"));
    QStringList families;
    families.reserve(available.size());
    for (QString name : available)
        families << name.remove(foundry);
    const auto less = [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    };
    const auto same = [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) == 0;
    };
    std::stable_sort(families.begin(), families.end(), less);
    families.erase(std::unique(families.begin(), families.end(), same), families.end());
    return families;
}

void CPreferencesDlg::DoDataExchange(bool saveAndValidate) {
    if (saveAndValidate) {
        m_untrigger = m_untriggerCheck->isChecked() ? 1 : 0;
        m_fontName = m_fontCombo->GetWindowText();
        m_sizeText = m_sizeCombo->GetWindowText();
    } else {
        m_sizeText = QString::number(m_fontSize / 10);
        m_untriggerCheck->setChecked(m_untrigger != 0);
        if (m_fontCombo->SelectString(m_fontName) < 0)
            m_fontCombo->SetWindowText(m_fontName);
        if (m_sizeCombo->SelectString(m_sizeText) < 0)
            m_sizeCombo->SetWindowText(m_sizeText);
    }
    DDX_ButtonColor(saveAndValidate, this, 1011, m_colorOut);
    DDX_ButtonColor(saveAndValidate, this, 1005, m_colorSymbology);
    DDX_ButtonColor(saveAndValidate, this, 1003, m_colorLabel);
    DDX_ButtonColor(saveAndValidate, this, 1001, m_colorHex);
    DDX_ButtonColor(saveAndValidate, this, 1007, m_colorDefault);
    DDX_ButtonColor(saveAndValidate, this, 1009, m_colorRaw);
    if (saveAndValidate)
        ParseFontSize(m_sizeText, m_fontSize);
}

void CPreferencesDlg::accept() {
    DoDataExchange(true);
    QDialog::accept();
}
