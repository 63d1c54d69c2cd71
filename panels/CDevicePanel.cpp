#include "panels/CDevicePanel.h"

#include "device/CHidDevice.h"
#include "panels/CPanelTemplate.h"
#include "panels/CSendCombo.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

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

} // namespace

CDevicePanel::CDevicePanel(int templateId, CHidDevice* device, CSettingsStore* store,
                           QWidget* parent)
    : QDialog(parent), m_device(device), m_history(store), m_templateId(templateId),
      m_units(CDialogUnits::FromFont(font())) {
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
    const CDialogTemplate* dialogTemplate = CPanelTemplate::Find(m_templateId);
    if (!dialogTemplate || m_hasWindow)
        return false;
    // A font wider than the templates' own makes the whole panel wider, never a caption cut.
    m_units = CDialogUnits::ForTemplate(*dialogTemplate, *this);
    // Laid into the main dialog, the panel takes its units and so fills the placeholder; only a
    // caption that needs more widens them further.
    if (m_hostUnits)
        m_units = CDialogUnits(std::max(m_units.BaseX(), m_hostUnits->BaseX()),
                               std::max(m_units.BaseY(), m_hostUnits->BaseY()));
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
    return {m_units.ToPixelsX(x), m_units.ToPixelsY(y)};
}

void CDevicePanel::CreateControls(const CDialogTemplate& dialogTemplate) {
    CDialogBuilder::Build(dialogTemplate, *this, m_units);
    if (CDialogBuilder::FindControl(dialogTemplate, PanelControl::SendCombo))
        CDialogBuilder::PlaceControl(dialogTemplate, *this, *new CSendCombo(this),
                                     PanelControl::SendCombo, m_units);
    CDialogBuilder::ApplyTabOrder(dialogTemplate, *this);
    for (const CControlTemplate& c : dialogTemplate.controls) {
        if (c.id == IDC_STATIC)
            continue;
        auto* widget = findChild<QWidget*>(QString::number(c.id), Qt::FindDirectChildrenOnly);
        if (!widget)
            continue;
        m_controls[c.id] = widget;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            // "Trigger Device" stays pressed while the trigger is on.
            if (c.id == PanelControl::TriggerDevice)
                button->setCheckable(true);
            const int id = c.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { RunCommand(id); });
        }
    }
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

void CDevicePanel::RunCommand(int controlId) {
    CDeviceCallGuard call(m_calls);
    OnCommand(controlId);
}

void CDevicePanel::SetTrigger(int on) {
    if (!m_device)
        return;
    CDeviceCallGuard call(m_calls);
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
            RunCommand(static_cast<CClickEvent*>(event)->ControlId());
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
    // Escape may arrive inside one of the controls: they go once their events are done, and
    // lose their numbers now so that a window made again finds only its own controls.
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        child->setObjectName(QString());
        child->deleteLater();
    }
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
            RunCommand(PanelControl::Send);
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
