#include "prefs/CPreferencesDlg.h"

#include "prefs/CColorButton.h"
#include "prefs/CSimpleComboBox.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace {

enum class CItemKind { Group, Label, ColorButton, CheckBox, SortedCombo, Combo, Button, Default };

// One control of the dialog, placed in dialog units (left, top, width, height).
struct CDialogItem {
    int m_id; // -1: no control number
    CItemKind m_kind;
    const char* m_text;
    int m_x, m_y, m_width, m_height;
};

constexpr int kDialogWidth = 277;
constexpr int kDialogHeight = 175;

// Template 135. Group boxes come first so that the controls inside them lie above them; the
// rest is in tab order.
const CDialogItem kTemplate135[] = {
    {-1, CItemKind::Group, "Colors", 7, 7, 130, 125},
    {-1, CItemKind::Group, "Misc", 7, 136, 130, 32},
    {-1, CItemKind::Group, "Font", 144, 7, 126, 139},
    {-1, CItemKind::Label, "default", 14, 23, 84, 8},
    {1007, CItemKind::ColorButton, "", 100, 20, 30, 14},
    {-1, CItemKind::Label, "Label content", 14, 41, 84, 8},
    {1003, CItemKind::ColorButton, "", 100, 38, 30, 14},
    {-1, CItemKind::Label, "Symbology name", 14, 59, 84, 8},
    {1005, CItemKind::ColorButton, "", 100, 56, 30, 14},
    {-1, CItemKind::Label, "Raw data", 14, 77, 84, 8},
    {1009, CItemKind::ColorButton, "", 100, 74, 30, 14},
    {-1, CItemKind::Label, "Non printable characters", 14, 95, 84, 8},
    {1001, CItemKind::ColorButton, "", 100, 92, 30, 14},
    {-1, CItemKind::Label, "Out Data", 14, 113, 84, 8},
    {1011, CItemKind::ColorButton, "", 100, 110, 30, 14},
    {1021, CItemKind::CheckBox, "Untrigger before disconnect", 14, 146, 116, 16},
    {-1, CItemKind::Label, "Font:", 151, 18, 76, 8},
    {1023, CItemKind::SortedCombo, "", 151, 28, 78, 112},
    {-1, CItemKind::Label, "Size:", 235, 18, 28, 8},
    {1024, CItemKind::Combo, "", 235, 28, 28, 112},
    {1, CItemKind::Default, "OK", 164, 154, 50, 14},
    {2, CItemKind::Button, "Cancel", 220, 154, 50, 14},
};

const int kFontSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28};

// Dialog units of the dialog's font: x in quarters of the average character width, y in
// eighths of the character height.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        const int letters = metrics.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        m_baseX = (letters / 26 + 1) / 2;
        m_baseY = metrics.height();
    }
    int X(int units) const { return (units * m_baseX + 2) / 4; }
    int Y(int units) const { return (units * m_baseY + 4) / 8; }
    QRect Rect(const CDialogItem& item) const {
        const int left = X(item.m_x);
        const int top = Y(item.m_y);
        return QRect(left, top, X(item.m_x + item.m_width) - left,
                     Y(item.m_y + item.m_height) - top);
    }

private:
    int m_baseX;
    int m_baseY;
};

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
    setWindowTitle(QStringLiteral("Preferences Dialog"));
    setObjectName(QStringLiteral("135"));
    const CDialogUnits units(font());
    for (const CDialogItem& item : kTemplate135) {
        const QString text = QString::fromLatin1(item.m_text);
        QWidget* widget = nullptr;
        switch (item.m_kind) {
        case CItemKind::Group:
            widget = new QGroupBox(text, this);
            break;
        case CItemKind::Label:
            widget = new QLabel(text, this);
            break;
        case CItemKind::ColorButton:
            widget = new CColorButton(this);
            break;
        case CItemKind::CheckBox:
            widget = m_untriggerCheck = new QCheckBox(text, this);
            break;
        case CItemKind::SortedCombo:
        case CItemKind::Combo:
            widget = new CSimpleComboBox(item.m_kind == CItemKind::SortedCombo, this);
            break;
        case CItemKind::Button:
        case CItemKind::Default: {
            auto* button = new QPushButton(text, this);
            button->setDefault(item.m_kind == CItemKind::Default);
            connect(button, &QPushButton::clicked, this,
                    item.m_id == 1 ? &CPreferencesDlg::accept : &CPreferencesDlg::reject);
            widget = button;
            break;
        }
        }
        if (item.m_id >= 0)
            widget->setObjectName(QString::number(item.m_id));
        widget->setGeometry(units.Rect(item));
    }
    setFixedSize(units.X(kDialogWidth), units.Y(kDialogHeight));

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

    m_fontNames = QFontDatabase::families();
    m_fontCombo->ResetContent();
    for (const QString& name : m_fontNames)
        m_fontCombo->AddString(name);

    m_sizeCombo->ResetContent();
    for (int size : kFontSizes)
        m_sizeCombo->AddString(QString::number(size));

    // Again, now that the lists can select the current font and size.
    DoDataExchange(false);
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
