// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "app/CComboDeviceList.h"
#include "app/CMessageBoxNotifier.h"
#include "app/CQtMessagePoster.h"
#include "device/CHidDevice.h"
#include "device/CHidPort.h"
#include "layout/CResizeSupport.h"
#include "recording/CCapturePlatform.h"
#include "settings/CDisplaySettings.h"

#include <QIcon>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDeviceComboBox;
class CRecordingOpener;
class CReportRecording;
class CSimReaderActions;
class CDevicePanel;
class COutputWindow;
class CSettingsStore;
class QAction;
class QCheckBox;
class QLineEdit;
class QSocketNotifier;

// The main window: the device list, the status line, the output window and the buttons. It
// opens the selected reader, hands each report of the reader thread to the device object of
// the reader's type, and follows read errors and device changes.
class CVantrelDlg : public CResizeSupport {
    Q_OBJECT
public:
    // Makes the device object of a type; null for a type without one.
    using CDeviceFactory = std::function<std::unique_ptr<CHidDevice>(
        DeviceType, CHidPort&, COutputSink&, CDisplaySettings&, CNotifier&)>;

    // The port's messages: a report at the base, then an error.
    static constexpr uint32_t WM_HID_REPORT = 0x0400 + 1000;
    static constexpr uint32_t WM_HID_ERROR = HidMessageId(WM_HID_REPORT, CHidMessageKind::Error);
    // The status line's start for a reader in keyboard mode.
    static constexpr const char* kKeyboardModeStatus =
        "Keyboard mode: the reader types its labels as keystrokes. ";

    static const CDialogTemplate& Template();

    CVantrelDlg(CSettingsStore& store, CHidPlatform& platform, CDeviceFactory deviceFactory,
                QWidget* parent = nullptr);
    ~CVantrelDlg() override;

    void OpenSelectedDevice();
    void UntriggerIfConfigured();
    void ApplyOutputFont();

    CReaderPort& Port() { return m_port; }
    CDisplaySettings& DisplaySettings() { return m_displaySettings; }
    COutputWindow& OutputWindow() { return *m_outputWindow; }
    CHidDevice* CurrentDevice() const { return m_device.get(); }
    CDevicePanel* CurrentPanel() const { return m_panel.get(); }
    QString StatusText() const;
    // "Unplug Reader" and "Plug Reader Back"; null unless the readers are simulated.
    CSimReaderActions* SimReaderActions() const { return m_simReaderActions; }
    // "Record Reports to File..." and "Stop Recording".
    CReportRecording& ReportRecording() { return *m_reportRecording; }
    // "Open Recording..." and the recordings' pace.
    CRecordingOpener& RecordingOpener() const { return *m_recordingOpener; }
    // Offers the recordings of the files in the reader list and opens the first.
    void OpenRecordings(const QStringList& files);
    // "Complete Decoding" of the output window's menu: checked when labels are decoded
    // completely (stored in group "Decoding", key "Complete").
    QAction& CompleteDecodingAction() { return *m_completeDecodingAction; }

public Q_SLOTS:
    // The device list drops down: the readers are listed anew, keeping the current one.
    void OnDropDownDeviceList();
    // The device list closed up: the selected reader is opened again, changed or not.
    void OnCloseUpDeviceList();
    // Readers came or went: listed and opened again only when the list is empty. Waits while a
    // call into the device or its panel is on the stack, and until the reader messages that
    // came before it have been handled.
    void OnDeviceChange();
    void OnAbout();
    void OnClearOutput();
    // "Save Output As...": the output window's content to a text or HTML file.
    void OnSaveOutput();
    // "Preferences": edits the display settings; a changed font is applied at once, new colours
    // apply to the text written from then on.
    void OnPreferences();

protected:
    bool event(QEvent* event) override;
    void accept() override;
    void reject() override;

private:
    void OnInitDialog();
    void BuildControls();
    void StartDeviceMonitor();
    void OnMonitorActivated();
    void OnHidMessages();
    // Hands queued messages to the device for one slice; true when the queue ran empty.
    bool HandleMessageSlice();
    bool HasUnhandledMessages() const;
    // The queue dropped `count` reports of the open reader: the status line keeps their total.
    void NoteDroppedReports(uint64_t count);
    void OnHidReport(const CHidMessage& message);
    void OnHidError(int errorCode);
    // Shows the label the device left open, before the reader or the output goes.
    void CloseOpenLabel();
    // Runs the open-label timer until the device's deadline, or stops it.
    void WatchOpenLabel();
    void OnCompleteDecodingToggled(bool complete);
    // Dialog data exchange: check boxes to the display settings (true) or back (false).
    void UpdateData(bool saveAndValidate);
    void SetStatusText(const std::string& text);
    std::string OpenFailureText(const std::string& name) const;

    CSettingsStore& m_store;
    CHidPlatform& m_platform;
    CDeviceFactory m_deviceFactory;
    QLineEdit* m_statusLine = nullptr;
    CDeviceComboBox* m_deviceList = nullptr;
    COutputWindow* m_outputWindow = nullptr;
    QIcon m_icon;
    CQtMessagePoster m_poster;
    std::string m_openName;
    uint64_t m_droppedReports = 0;
    // The live readers and the recordings opened; the port reads through it.
    CCapturePlatform m_captures;
    CReaderPort m_port;
    uint16_t m_usage = 0;
    uint16_t m_usagePage = 0;
    CDisplaySettings m_displaySettings;
    // Calls into the device or its panel on the stack; device changes wait for them.
    CDeviceCallGuard::CCounter m_deviceCalls;
    CMessageBoxNotifier m_notifier;
    std::unique_ptr<CHidDevice> m_device;
    // Laid over control 1043; points to m_device, so it goes first.
    std::unique_ptr<CDevicePanel> m_panel;
    std::unique_ptr<CComboDeviceList> m_deviceListItems;
    QCheckBox* m_showRaw = nullptr;
    QCheckBox* m_showOutput = nullptr;
    QCheckBox* m_showSymbology = nullptr;
    std::unique_ptr<CHidDeviceMonitor> m_monitor;
    QSocketNotifier* m_monitorNotifier = nullptr;
    // Messages taken from the poster and not yet handled, oldest first from m_nextMessage.
    std::vector<CHidMessage> m_messages;
    size_t m_nextMessage = 0;
    bool m_deviceChangePending = false;
    QAction* m_completeDecodingAction = nullptr;
    // Fires when the open label of the device has waited long enough for its next report.
    QTimer m_openLabelTimer;
    bool m_openPending = false;
    std::string m_openPath; // device path of the reader last opened
    CSimReaderActions* m_simReaderActions = nullptr;
    CRecordingOpener* m_recordingOpener = nullptr;
    // Taps the poster: goes before it and the port.
    std::unique_ptr<CReportRecording> m_reportRecording;
};
