// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "app/CVantrelDlg.h"

#include "app/CAboutDlg.h"
#include "app/CAppIcon.h"
#include "app/CDeviceComboBox.h"
#include "app/CSimReaderActions.h"
#include "device/ErrorText.h"
#include "outputwindow/COutputHintBar.h"
#include "outputwindow/COutputSaver.h"
#include "outputwindow/COutputWindow.h"
#include "outputwindow/CRecordingOpener.h"
#include "outputwindow/CReportRecording.h"
#include "panels/CNoDevicePanel.h"
#include "panels/CPanelFactory.h"
#include "prefs/CPreferencesDlg.h"
#include "settings/CSettingsStore.h"
#include "sim/CSimPlatform.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace {

const char* const kSettingsSection = "Settings";
const char* const kPlacementSection = "DlgSize";
const char* const kDeviceNameKey = "DeviceName";
const char* const kDecodingSection = "Decoding";
const char* const kCompleteDecodingKey = "Complete";

constexpr int IDOK = 1;
constexpr int IDC_DEVICE_LIST = 1002;
constexpr int IDC_STATUS = 1004;
constexpr int IDC_ABOUT = 1006;
constexpr int IDC_CLEAR_OUTPUT = 1010;
constexpr int IDC_PREFERENCES = 1016;
constexpr int IDC_OUTPUT = 1020;
constexpr int IDC_SHOW_RAW = 1021;
constexpr int IDC_SHOW_SYMBOLOGY = 1023;
constexpr int IDC_SHOW_OUTPUT = 1038;
constexpr int IDC_PANEL_AREA = 1043;

const CDialogTemplate kMainTemplate{
    102,
    "Vantrel",
    320,
    236,
    false,
    {
        {IDC_STATIC, CControlKind::Static, "Select the barcode reader", 7, 1, 114, 8, CTL_NONE},
        {IDC_DEVICE_LIST, CControlKind::ComboBox, nullptr, 7, 9, 306, 176, CTL_SORTED | CTL_CUSTOM},
        {IDC_STATUS, CControlKind::Edit, nullptr, 7, 23, 306, 12, CTL_READONLY},
        {IDC_PANEL_AREA, CControlKind::Frame, nullptr, 7, 37, 306, 77, CTL_HIDDEN},
        {IDC_SHOW_RAW, CControlKind::CheckBox, "Add raw data", 7, 114, 56, 11, CTL_NONE},
        {IDC_SHOW_OUTPUT, CControlKind::CheckBox, "Add Out data", 70, 114, 55, 11, CTL_NONE},
        {IDC_SHOW_SYMBOLOGY, CControlKind::CheckBox, "Add Symbology", 7, 125, 65, 10, CTL_NONE},
        {IDC_PREFERENCES, CControlKind::PushButton, "Preferences", 129, 118, 50, 14, CTL_NONE},
        {IDC_CLEAR_OUTPUT, CControlKind::PushButton, "Clear Output", 179, 118, 50, 14, CTL_NONE},
        {IDC_ABOUT, CControlKind::PushButton, "About", 239, 118, 36, 14, CTL_NONE},
        {IDOK, CControlKind::PushButton, "Exit", 277, 118, 36, 14, CTL_DEFAULT},
        {IDC_OUTPUT, CControlKind::RichEdit, nullptr, 7, 138, 306, 91, CTL_CUSTOM},
    }};

// How long one turn of the event loop hands reader messages to the device before the window
// paints and takes input again.
constexpr qint64 kMessageSliceMs = 10;

} // namespace

const CDialogTemplate& CVantrelDlg::Template() {
    return kMainTemplate;
}

CVantrelDlg::CVantrelDlg(CSettingsStore& store, CHidPlatform& platform,
                         CDeviceFactory deviceFactory, QWidget* parent)
    : CResizeSupport(kMainTemplate, parent, &store), m_store(store), m_platform(platform),
      m_deviceFactory(std::move(deviceFactory)), m_icon(CAppIcon::Get()), m_poster(this),
      m_captures(platform), m_port(m_captures, m_poster), m_displaySettings(&store),
      m_deviceCalls([this] {
          // What waited resumes from the event loop, once the call has fully returned.
          QCoreApplication::postEvent(this, new QEvent(CQtMessagePoster::kWakeEvent));
      }),
      m_notifier(this, &m_deviceCalls) {
    m_displaySettings.Load(kSettingsSection);
    BuildControls();
    OnInitDialog();
}

CVantrelDlg::~CVantrelDlg() {
    CloseOpenLabel();
    // The window goes first: its placement is stored.
    OnDestroy();
    delete m_monitorNotifier;
    m_monitorNotifier = nullptr;
    m_monitor.reset();
    // The panel goes before the device it points to; it stores the send history.
    m_panel.reset();
    // The device object stores its own keys and the display settings; without one the dialog
    // stores the display settings itself.
    if (m_device) {
        m_device.reset();
    } else {
        m_displaySettings.Save();
    }
    // The reader must be stopped before the poster and this window go.
    m_port.Close();
}

void CVantrelDlg::BuildControls() {
    m_deviceList = new CDeviceComboBox(this);
    PlaceControl(*m_deviceList, IDC_DEVICE_LIST);
    m_deviceListItems = std::make_unique<CComboDeviceList>(*m_deviceList);
    m_outputWindow = new COutputWindow(this);
    m_outputWindow->SetColours(m_displaySettings);
    PlaceControl(*m_outputWindow, IDC_OUTPUT);
    CDialogBuilder::ApplyTabOrder(kMainTemplate, *this);

    m_statusLine = ControlAs<QLineEdit>(IDC_STATUS);
    m_showRaw = ControlAs<QCheckBox>(IDC_SHOW_RAW);
    m_showOutput = ControlAs<QCheckBox>(IDC_SHOW_OUTPUT);
    m_showSymbology = ControlAs<QCheckBox>(IDC_SHOW_SYMBOLOGY);

    connect(m_deviceList, &CDeviceComboBox::DropDown, this, &CVantrelDlg::OnDropDownDeviceList);
    connect(m_deviceList, &CDeviceComboBox::CloseUp, this, &CVantrelDlg::OnCloseUpDeviceList);
    for (QCheckBox* box : {m_showRaw, m_showOutput, m_showSymbology}) {
        connect(box, &QCheckBox::clicked, this, [this] { UpdateData(true); });
    }
    connect(ControlAs<QPushButton>(IDC_ABOUT), &QPushButton::clicked, this, &CVantrelDlg::OnAbout);
    connect(ControlAs<QPushButton>(IDC_CLEAR_OUTPUT), &QPushButton::clicked, this,
            &CVantrelDlg::OnClearOutput);
    connect(ControlAs<QPushButton>(IDOK), &QPushButton::clicked, this, &CVantrelDlg::accept);
    connect(ControlAs<QPushButton>(IDC_PREFERENCES), &QPushButton::clicked, this,
            &CVantrelDlg::OnPreferences);
    connect(m_outputWindow, &COutputWindow::SaveOutputRequested, this, &CVantrelDlg::OnSaveOutput);
    // The recorder looks the open entry up where the port opened it, a recording included.
    m_reportRecording = std::make_unique<CReportRecording>(
        m_store, m_captures, m_port,
        [this](CReportRecording::CTap tap) { m_poster.SetTap(std::move(tap)); }, *this,
        [this] { return m_port.IsOpen() ? m_openPath : std::string(); });
    m_recordingOpener = new CRecordingOpener(
        m_captures, m_store, *this,
        [this](const CHidAttributes& attributes, const CHidCaps& caps) {
            return m_port.IsSupported(attributes, caps);
        },
        [this](const std::string& entry) {
            m_port.Enumerate(m_deviceListItems.get(), entry, true);
            OpenSelectedDevice();
        });
    m_recordingOpener->AcceptDropsOn(*this);
    m_recordingOpener->AcceptDropsOn(*m_outputWindow->viewport());
    m_completeDecodingAction = new QAction(tr("Complete Decoding"), this);
    m_completeDecodingAction->setCheckable(true);
    m_completeDecodingAction->setChecked(
        m_store.GetProfileInt(kDecodingSection, kCompleteDecodingKey, 0) != 0);
    connect(m_completeDecodingAction, &QAction::toggled, this,
            &CVantrelDlg::OnCompleteDecodingToggled);
    connect(&m_outputWindow->HintBar(), &COutputHintBar::Accepted, m_completeDecodingAction,
            [this] { m_completeDecodingAction->setChecked(true); });
    m_notifier.SetSuggestionHandler([this](const std::string& why) {
        m_outputWindow->HintBar().Offer(
            QString::fromStdString(why) +
            tr(" The output shows what was specified; \"Complete Decoding\" in this window's "
               "menu shows more."));
    });
    m_openLabelTimer.setSingleShot(true);
    connect(&m_openLabelTimer, &QTimer::timeout, this, [this] {
        // A report read in time but not yet handled still belongs to the label.
        if (HasUnhandledMessages()) {
            m_openLabelTimer.start(1);
            return;
        }
        if (m_device && m_device->OpenLabelDeadline() <= CHidDevice::Clock::now()) {
            m_device->CloseOpenLabel();
        }
        WatchOpenLabel();
    });
    connect(m_outputWindow, &COutputWindow::ContextMenuOpening, this, [this](QMenu& menu) {
        menu.addSeparator();
        menu.addAction(m_completeDecodingAction);
        menu.addSeparator();
        m_reportRecording->AddTo(menu);
        m_recordingOpener->AddTo(menu);
    });
    // Pulling a cable is offered only where the cable is simulated.
    if (auto* simulated = dynamic_cast<CSimPlatform*>(&m_platform)) {
        m_simReaderActions = new CSimReaderActions(
            *simulated,
            [this] {
                return m_port.IsOpen() && !m_captures.IsCapture(m_openPath) ? m_openPath
                                                                            : std::string();
            },
            this);
        connect(m_outputWindow, &COutputWindow::ContextMenuOpening, this, [this](QMenu& menu) {
            menu.addSeparator();
            m_simReaderActions->AddTo(menu);
        });
    }
}

void CVantrelDlg::OpenRecordings(const QStringList& files) {
    m_recordingOpener->Open(files);
}

void CVantrelDlg::OnInitDialog() {
    setWindowIcon(m_icon);
    AnchorControl(m_outputWindow, ANCHOR_TOP_LEFT, ANCHOR_BOTTOM_RIGHT);
    KeepPlacement(kPlacementSection, false);
    const std::string name = m_store.GetProfileString(kSettingsSection, kDeviceNameKey, "");
    m_port.Enumerate(m_deviceListItems.get(), name, true);
    ApplyOutputFont();
    UpdateData(false);
    OpenSelectedDevice();
    StartDeviceMonitor();
}

void CVantrelDlg::StartDeviceMonitor() {
    int error = 0;
    m_monitor = m_platform.CreateMonitor(error);
    if (!m_monitor) {
        return;
    }
    m_monitorNotifier = new QSocketNotifier(m_monitor->PollFd(), QSocketNotifier::Read, this);
    connect(m_monitorNotifier, &QSocketNotifier::activated, this, &CVantrelDlg::OnMonitorActivated);
}

void CVantrelDlg::OnMonitorActivated() {
    // A removal brings no reader to open: losing the open one shows its read error and empties
    // the list, and the list stays empty until a reader is plugged in.
    const std::vector<CHidDeviceChange> changes = m_monitor->ReadChanges();
    if (std::any_of(changes.begin(), changes.end(), [](const CHidDeviceChange& change) {
            return change.kind == CHidDeviceChange::Kind::Arrival;
        })) {
        OnDeviceChange();
    }
}

void CVantrelDlg::OnDeviceChange() {
    // Under a call into the device (a message box of it runs its own event loop) the device must
    // not be replaced.
    if (m_deviceCalls.IsBusy()) {
        m_deviceChangePending = true;
        m_deviceCalls.Wait();
        return;
    }
    // A removal reaches the list through the reader's error, which comes after the reports read
    // before it: the change waits until they have been handled.
    if (HasUnhandledMessages()) {
        m_deviceChangePending = true;
        return;
    }
    if (m_deviceList->count() != 0) {
        return;
    }
    OnDropDownDeviceList();
    OpenSelectedDevice();
}

void CVantrelDlg::OnDropDownDeviceList() {
    UntriggerIfConfigured();
    m_port.Enumerate(m_deviceListItems.get(), std::string(), true);
}

void CVantrelDlg::OnCloseUpDeviceList() {
    OpenSelectedDevice();
}

void CVantrelDlg::OpenSelectedDevice() {
    if (m_deviceCalls.IsBusy()) {
        m_openPending = true;
        m_deviceCalls.Wait();
        return;
    }
    // The new device and panel start under the guard: the Hid Pos panel's start-up talks to
    // the reader, and loading settings is a call into the device.
    CDeviceCallGuard call(&m_deviceCalls);
    CloseOpenLabel();
    m_port.Close();
    m_reportRecording->OnReaderClosed();
    m_panel.reset();
    const std::string name = m_deviceListItems->GetCurrentText();
    m_openName = name;
    m_droppedReports = 0;
    std::string status;
    if (!m_port.Open(name, WM_HID_REPORT)) {
        status = OpenFailureText(name);
        m_panel = std::make_unique<CNoDevicePanel>(&m_store, this);
    } else {
        const auto entry = m_port.NameTable().find(name);
        m_openPath = entry != m_port.NameTable().end() ? entry->second : name;
        // The stored name is the reader to open at the next start; a recording is not one.
        if (!m_captures.IsCapture(m_openPath)) {
            m_store.WriteProfileString(kSettingsSection, kDeviceNameKey, name);
            m_store.Flush();
        }
        const CHidCaps& caps = m_port.GetCaps();
        CHidAttributes attributes;
        if (m_port.GetAttributes(attributes)) {
            m_usagePage = caps.usagePage;
            m_usage = caps.usage;
            char text[128];
            std::snprintf(text, sizeof text,
                          "Firmware V%X, VID=%04X, PID=%04X, UsagePage=%04X, Usage=%04X",
                          attributes.versionNumber, attributes.vendorId, attributes.productId,
                          m_usagePage, m_usage);
            status = text;
        }
        m_device.reset();
        // The type follows the capabilities of the interface just opened, also when its
        // attributes could not be read.
        const DeviceType type = SelectDeviceType(caps.usagePage, caps.usage);
        if (type == DeviceType::Keyboard) {
            status = std::string(kKeyboardModeStatus) + status;
        }
        if (m_deviceFactory) {
            m_device =
                m_deviceFactory(type, m_port, *m_outputWindow, m_displaySettings, m_notifier);
        }
        // The panel exists before the device loads its settings, but its window does not:
        // its start-up sees the loaded flags.
        if (m_device) {
            m_device->SetDecoding(m_completeDecodingAction->isChecked() ? Decoding::Complete
                                                                        : Decoding::Specified);
            m_panel = CreateDevicePanel(*m_device, &m_store, this);
            m_device->LoadSettings(kSettingsSection);
        }
    }
    if (m_panel) {
        m_panel->SetDialogUnits(CDialogUnits::ForTemplate(kMainTemplate, *this));
        m_panel->SetCallCounter(&m_deviceCalls);
        m_panel->Create();
        m_panel->ShowOver(*Control(IDC_PANEL_AREA));
    }
    SetStatusText(status);
    UpdateData(false);
}

std::string CVantrelDlg::OpenFailureText(const std::string& name) const {
    const std::string shown = name.empty() ? std::string("Device") : name;
    if (m_port.LastError() == EACCES) {
        return shown +
               " could not opened: access denied. Install the udev rule for readers "
               "(res/70-vantrel.rules, see README \"Real readers\") and plug the reader in again.";
    }
    return shown + " could not opened";
}

void CVantrelDlg::UntriggerIfConfigured() {
    if (m_device && m_panel && m_displaySettings.m_triggerOffAtExit != 0) {
        m_panel->SetTrigger(0);
    }
}

void CVantrelDlg::ApplyOutputFont() {
    m_outputWindow->SetOutputFont(m_displaySettings.OutputFaceName(),
                                  m_displaySettings.m_fontPoints);
}

QString CVantrelDlg::StatusText() const {
    return m_statusLine->text();
}

void CVantrelDlg::SetStatusText(const std::string& text) {
    m_statusLine->setText(QString::fromStdString(text));
    m_statusLine->setCursorPosition(0);
}

void CVantrelDlg::UpdateData(bool saveAndValidate) {
    CDisplaySettings& s = m_displaySettings;
    if (saveAndValidate) {
        s.m_showOutput = m_showOutput->isChecked() ? 1 : 0;
        s.m_showRaw = m_showRaw->isChecked() ? 1 : 0;
        s.m_showSymbology = m_showSymbology->isChecked() ? 1 : 0;
    } else {
        m_showOutput->setChecked(s.m_showOutput != 0);
        m_showRaw->setChecked(s.m_showRaw != 0);
        m_showSymbology->setChecked(s.m_showSymbology != 0);
    }
}

void CVantrelDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CVantrelDlg::OnClearOutput() {
    m_outputWindow->ClearOutput();
}

void CVantrelDlg::OnSaveOutput() {
    m_outputWindow->FlushOutput();
    COutputSaver(m_store, *m_outputWindow->document()).Run(this);
}

void CVantrelDlg::OnPreferences() {
    m_displaySettings.EditPreferences(
        [this](CDisplaySettings& copy) { return CPreferencesDlg::Run(copy, this); });
    if (m_displaySettings.m_fontChanged) {
        ApplyOutputFont();
    }
}

void CVantrelDlg::accept() {
    UntriggerIfConfigured();
    UpdateData(true);
    CResizeSupport::accept();
}

void CVantrelDlg::reject() {
    UntriggerIfConfigured();
    CResizeSupport::reject();
}

bool CVantrelDlg::event(QEvent* event) {
    if (event->type() == CQtMessagePoster::kWakeEvent) {
        OnHidMessages();
        return true;
    }
    return CResizeSupport::event(event);
}

void CVantrelDlg::OnHidMessages() {
    // Under a call into the device or its panel the messages wait; the call resumes them when
    // it returns, and the messages keep their order.
    if (m_deviceCalls.IsBusy()) {
        m_deviceCalls.Wait();
        return;
    }
    if (!HandleMessageSlice()) {
        return;
    }
    // Every message read so far has been handled, a reader's removal included.
    if (m_deviceChangePending) {
        m_deviceChangePending = false;
        OnDeviceChange();
    }
    if (m_openPending) {
        m_openPending = false;
        OpenSelectedDevice();
    }
}

bool CVantrelDlg::HandleMessageSlice() {
    CDeviceCallGuard call(&m_deviceCalls);
    QElapsedTimer slice;
    slice.start();
    for (;;) {
        if (m_nextMessage >= m_messages.size()) {
            m_messages.clear();
            m_nextMessage = 0;
            m_poster.TakeAll(m_messages);
            if (m_messages.empty()) {
                return true;
            }
        }
        const CHidMessage message = std::move(m_messages[m_nextMessage++]);
        // A message of a reader that was stopped or replaced never reaches a device.
        if (m_port.IsCurrent(message)) {
            if (message.droppedBefore > 0) {
                NoteDroppedReports(message.droppedBefore);
            }
            if (message.messageId == WM_HID_REPORT) {
                OnHidReport(message);
            } else if (message.messageId == WM_HID_ERROR) {
                OnHidError(message.errorCode);
            }
        }
        if (slice.elapsed() >= kMessageSliceMs) {
            QCoreApplication::postEvent(this, new QEvent(CQtMessagePoster::kWakeEvent));
            return false;
        }
    }
}

bool CVantrelDlg::HasUnhandledMessages() const {
    // Either way a wake-up is on its way: posted by the poster, by the slice, or by the call
    // that holds the messages back.
    return m_nextMessage < m_messages.size() || m_poster.HasMessages();
}

void CVantrelDlg::NoteDroppedReports(uint64_t count) {
    m_droppedReports += count;
    SetStatusText(std::to_string(m_droppedReports) + " reports of \"" + m_openName +
                  "\" were dropped: the reader sent them faster than the window could show them");
}

void CVantrelDlg::OnHidReport(const CHidMessage& message) {
    // A read ends the trigger: the button pops up, nothing is sent.
    if (m_panel) {
        m_panel->ShowTriggerState(0);
    }
    if (m_device) {
        m_device->OnReportAt(message.report.data(), message.report.size(), message.readTime);
        WatchOpenLabel();
    }
}

void CVantrelDlg::CloseOpenLabel() {
    m_openLabelTimer.stop();
    if (m_device) {
        m_device->CloseOpenLabel();
    }
}

void CVantrelDlg::WatchOpenLabel() {
    const CHidDevice::Clock::time_point deadline =
        m_device ? m_device->OpenLabelDeadline() : CHidDevice::Clock::time_point::max();
    if (deadline == CHidDevice::Clock::time_point::max()) {
        m_openLabelTimer.stop();
        return;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - CHidDevice::Clock::now());
    m_openLabelTimer.start(std::max<int>(0, int(left.count())));
}

void CVantrelDlg::OnCompleteDecodingToggled(bool complete) {
    m_store.WriteProfileInt(kDecodingSection, kCompleteDecodingKey, complete ? 1 : 0);
    m_store.Flush();
    CloseOpenLabel();
    if (m_device) {
        m_device->SetDecoding(complete ? Decoding::Complete : Decoding::Specified);
    }
}

void CVantrelDlg::OnHidError(int errorCode) {
    SetStatusText(ErrnoText(errorCode));
    if (errorCode == ENODEV) {
        CloseOpenLabel();
        m_port.Close();
        m_deviceList->clear();
    }
}
