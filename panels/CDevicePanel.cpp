#include "panels/CDevicePanel.h"

#include "device/CHidDevice.h"
#include "panels/CPanelTemplate.h"
#include "panels/CSendCombo.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace {

// A click posted to the panel: the control number travels with the event.
class CClickEvent : public QEvent {
public:
    static QEvent::Type EventType() {
        static const int type = QEvent::registerEventType();
        return static_cast<QEvent::Type>(type);
    }
    explicit CClickEvent(int controlId) : QEvent(EventType()), m_controlId(controlId) {}
    int ControlId() const { return m_controlId; }

private:
    int m_controlId;
};

// The static edge around the panel, one pixel on each side.
constexpr int kEdge = 1;

} // namespace

CDevicePanel::CDevicePanel(int templateId, CHidDevice* device, CSettingsStore* store,
                           QWidget* parent)
    : QDialog(parent), m_device(device), m_history(store), m_templateId(templateId) {
    // A child dialog inside the main dialog, not a window of its own.
    setWindowFlags(Qt::Widget);
    // The panel takes the main dialog's font, which stands for the templates' dialog font, so
    // its dialog units are those of the placeholder it is laid over.
    hide();
    // Registered here, on the GUI thread, so that workers only ever read the number.
    (void)CClickEvent::EventType();
}

CDevicePanel::~CDevicePanel() {
    m_history.Save(kHistorySection);
}

bool CDevicePanel::Create() {
    const CPanelTemplate* dialogTemplate = CPanelTemplate::Find(m_templateId);
    if (!dialogTemplate || m_hasWindow)
        return false;
    ComputeDialogUnits(*dialogTemplate);
    const QPoint size = DialogUnitsToPixels(CPanelTemplate::kWidth, CPanelTemplate::kHeight);
    resize(size.x() + 2 * kEdge, size.y() + 2 * kEdge);
    CreateControls(*dialogTemplate);
    m_hasWindow = true;
    return OnInitDialog();
}

void CDevicePanel::ShowOver(const QWidget& placeholder) {
    QWidget* owner = parentWidget();
    const QRect area =
        owner && placeholder.parentWidget() != owner
            ? QRect(owner->mapFromGlobal(placeholder.mapToGlobal(QPoint(0, 0))), placeholder.size())
            : placeholder.geometry();
    setGeometry(area);
    update();
    show();
    raise();
    UpdateData(false);
}

QPoint CDevicePanel::DialogUnitsToPixels(int x, int y) const {
    return {qRound(x * m_unitX), qRound(y * m_unitY)};
}

void CDevicePanel::ComputeDialogUnits(const CPanelTemplate& dialogTemplate) {
    const QFontMetrics metrics(font());
    m_unitX = metrics.averageCharWidth() / 4.0;
    m_unitY = metrics.height() / 8.0;
    // A font wider than the templates' own makes the whole panel wider, never a caption cut.
    const QStyle* s = style();
    const int buttonPadding = 2 * (s->pixelMetric(QStyle::PM_ButtonMargin) +
                                   s->pixelMetric(QStyle::PM_DefaultFrameWidth));
    const int checkPadding = s->pixelMetric(QStyle::PM_IndicatorWidth) +
                             s->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + 2;
    for (size_t i = 0; i < dialogTemplate.count; ++i) {
        const CControlTemplate& c = dialogTemplate.controls[i];
        int needed = 0;
        for (const QString& line : QString::fromUtf8(c.caption).split('\n'))
            needed = std::max(needed, metrics.horizontalAdvance(line));
        if (c.kind == CControlKind::Button)
            needed += buttonPadding;
        else if (c.kind == CControlKind::CheckBox)
            needed += checkPadding;
        else if (c.kind != CControlKind::Static && c.kind != CControlKind::CenteredStatic)
            continue;
        m_unitX = std::max(m_unitX, static_cast<double>(needed) / c.width);
    }
}

void CDevicePanel::CreateControls(const CPanelTemplate& dialogTemplate) {
    for (size_t i = 0; i < dialogTemplate.count; ++i) {
        const CControlTemplate& c = dialogTemplate.controls[i];
        const QString caption = QString::fromUtf8(c.caption);
        QWidget* widget = nullptr;
        switch (c.kind) {
        case CControlKind::Static:
        case CControlKind::CenteredStatic: {
            auto* label = new QLabel(caption, this);
            label->setAlignment(c.kind == CControlKind::Static ? Qt::AlignLeft | Qt::AlignTop
                                                               : Qt::AlignCenter);
            widget = label;
            break;
        }
        case CControlKind::GroupBox:
            widget = new QGroupBox(caption, this);
            break;
        case CControlKind::Button:
        case CControlKind::CheckBox: {
            QAbstractButton* button = c.kind == CControlKind::Button
                                          ? static_cast<QAbstractButton*>(new QPushButton(this))
                                          : new QCheckBox(this);
            button->setText(caption);
            // "Trigger Device" stays pressed while the trigger is on.
            button->setCheckable(c.kind == CControlKind::CheckBox ||
                                 c.id == PanelControl::TriggerDevice);
            const int id = c.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
            widget = button;
            break;
        }
        case CControlKind::SendCombo:
            widget = new CSendCombo(this);
            break;
        }
        const QPoint topLeft = DialogUnitsToPixels(c.x, c.y) + QPoint(kEdge, kEdge);
        QPoint size = DialogUnitsToPixels(c.width, c.height);
        // A combo's template height is its drop-down list; the field itself is one line high.
        if (c.kind == CControlKind::SendCombo)
            size.setY(widget->sizeHint().height());
        widget->setGeometry(topLeft.x(), topLeft.y(), size.x(), size.y());
        if (c.id != CPanelTemplate::kStaticId) {
            widget->setObjectName(QString::number(c.id));
            m_controls[c.id] = widget;
        }
        widget->setVisible(!c.hidden);
    }
    // Group boxes are drawn below the controls they surround.
    for (QGroupBox* group : findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly))
        group->lower();
}

bool CDevicePanel::OnInitDialog() {
    UpdateData(false);
    m_history.AddUnique(kDefaultString1);
    m_history.AddUnique(kDefaultString2);
    m_history.Load(kHistorySection);
    return true;
}

void CDevicePanel::DoDataExchange(bool saveAndValidate) {
    (void)saveAndValidate;
}

void CDevicePanel::UpdateData(bool saveAndValidate) {
    if (m_hasWindow)
        DoDataExchange(saveAndValidate);
}

void CDevicePanel::DdxCheck(bool saveAndValidate, int controlId, int32_t& value) {
    QAbstractButton* box = Button(controlId);
    if (!box)
        return;
    if (saveAndValidate)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

QWidget* CDevicePanel::Control(int controlId) const {
    const auto found = m_controls.find(controlId);
    return found == m_controls.end() ? nullptr : found->second;
}

QAbstractButton* CDevicePanel::Button(int controlId) const {
    return qobject_cast<QAbstractButton*>(Control(controlId));
}

void CDevicePanel::SetTrigger(int on) {
    if (!m_device)
        return;
    m_triggerState = on;
    if (on)
        m_device->TriggerOn();
    else
        m_device->TriggerOff();
    ShowTriggerState(m_triggerState);
}

void CDevicePanel::SetTriggerButtonPressed(int state) {
    if (QAbstractButton* trigger = Button(PanelControl::TriggerDevice)) {
        trigger->setChecked(state != 0);
    }
}

void CDevicePanel::ShowTriggerState(int state) {
    m_triggerState = state;
}

void CDevicePanel::PostClick(int controlId) {
    QCoreApplication::postEvent(this, new CClickEvent(controlId));
}

bool CDevicePanel::event(QEvent* event) {
    if (event->type() == CClickEvent::EventType()) {
        // Like a command posted to a window that no longer exists, a late click is dropped.
        if (m_hasWindow)
            OnCommand(static_cast<CClickEvent*>(event)->ControlId());
        return true;
    }
    return QDialog::event(event);
}

void CDevicePanel::reject() {
    DestroyWindow();
}

void CDevicePanel::DestroyWindow() {
    if (!m_hasWindow)
        return;
    m_hasWindow = false;
    m_controls.clear();
    hide();
    // Escape may arrive inside one of the controls: they go once their events are done.
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        child->deleteLater();
}

void CDevicePanel::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

void CDevicePanel::OnTriggerDevice() {
    m_triggerState = 1 - m_triggerState;
    SetTrigger(m_triggerState);
}

void CDevicePanel::OnBeep() {
    if (m_device)
        m_device->Beep();
}

void CDevicePanel::OnErrorBeep() {
    if (m_device)
        m_device->ErrorBeep();
}

void CDevicePanel::OnDisable() {
    if (m_device)
        m_device->Disable();
}

void CDevicePanel::OnEnable() {
    if (m_device)
        m_device->Enable();
}

void CDevicePanel::OnBeeperOff() {
    if (m_device)
        m_device->SetBeeper(0);
}

void CDevicePanel::OnBeeperOn() {
    if (m_device)
        m_device->SetBeeper(1);
}

void CDevicePanel::OnCheckBox() {
    UpdateData(true);
}

CSendCombo* CDevicePanel::SendCombo() const {
    return qobject_cast<CSendCombo*>(Control(PanelControl::SendCombo));
}

void CDevicePanel::FillSendCombo() {
    CSendCombo* combo = SendCombo();
    if (!combo)
        return;
    m_history.FillComboBox(*combo, false);
    combo->installEventFilter(this);
    if (combo->lineEdit())
        combo->lineEdit()->installEventFilter(this);
}

bool CDevicePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_hasWindow) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain =
            key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            OnCommand(PanelControl::Send);
            return true;
        }
        if (key->matches(QKeySequence::Cancel)) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CDevicePanel::OnSend() {
    CSendCombo* combo = SendCombo();
    if (!combo)
        return;
    const QString text = combo->WindowText();
    m_history.AddUnique(text.toStdString());
    // An empty text is a history entry but never a list item.
    if (!text.isEmpty() && combo->FindStringExact(text) < 0)
        combo->AddString(text.toStdString());
    combo->SelectString(text.toStdString());
    // The reader gets the characters as ISO-8859-1 bytes; the device turns escapes into bytes.
    if (m_device)
        m_device->SendString(text.toLatin1().toStdString());
}

void CDevicePanel::OnDelete() {
    CSendCombo* combo = SendCombo();
    if (!combo)
        return;
    const QString text = combo->WindowText();
    m_history.Remove(text.toStdString());
    const int item = combo->FindStringExact(text);
    if (item >= 0)
        combo->DeleteString(item);
}
