// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "layout/CDialogTemplate.h"
#include "panels/CDeviceCallGuard.h"
#include "settings/CStringHistory.h"

#include <QDialog>

#include <map>
#include <optional>

class CHidDevice;
class CSendCombo;
class CSettingsStore;
class QAbstractButton;

// A borderless child dialog laid over the main dialog's placeholder, whose buttons call the
// current device. It owns the send history (section "Strings") and the trigger state.
class CDevicePanel : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kHistorySection = "Strings";
    static constexpr const char* kDefaultString1 = "\\x16M\\rTERMID?.";
    static constexpr const char* kDefaultString2 = "\\x16\\x07\\r";

    CDevicePanel(int templateId, CHidDevice* device, CSettingsStore* store, QWidget* parent);
    // Saves the history, then the window goes.
    ~CDevicePanel() override;

    // Before Create: the main dialog's units, so that the panel fills its placeholder, and the
    // counter of calls into the device that the panel's commands take part in.
    void SetDialogUnits(const CDialogUnits& units) { m_hostUnits = units; }
    void SetCallCounter(CDeviceCallGuard::CCounter* calls) { m_calls = calls; }

    // Makes the panel's window and controls from its template and runs its start-up.
    bool Create();
    bool HasWindow() const { return m_hasWindow; }

    // Sends TriggerOn or TriggerOff and shows the state; nothing without a device.
    void SetTrigger(int on);
    // Shows the trigger state without sending anything.
    virtual void ShowTriggerState(int state);
    int TriggerState() const { return m_triggerState; }

    // Lays the created panel over the main dialog's placeholder (a sibling of the panel), shows
    // it and copies the bound values into its controls.
    void ShowOver(const QWidget& placeholder);

    // Data exchange between the bound values and the controls (true: controls to values).
    void UpdateData(bool saveAndValidate);

    // Queues a click of a control, as if the user had clicked it; callable from any thread as
    // long as the panel exists. A click that arrives after the window is gone is dropped.
    void PostClick(int controlId);

    int TemplateId() const { return m_templateId; }
    CHidDevice* Device() const { return m_device; }
    const CStringHistory& History() const { return m_history; }
    // The control with that number, or null (also once the window is gone).
    QWidget* Control(int controlId) const;
    // Dialog units of the panel's font, in pixels (set by Create).
    QPoint DialogUnitsToPixels(int x, int y) const;

protected:
    // The framework's part (first data exchange), then the history: defaults, then the store.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(bool saveAndValidate);
    // The panel's message map: runs the handler of a clicked control.
    virtual void OnCommand(int controlId) = 0;

    // Destroys the panel's window (Escape); the panel object lives on until it is deleted.
    void reject() override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    // Handlers shared by several panels.
    void OnTriggerDevice();
    void OnBeep();
    void OnErrorBeep();
    void OnDisable();
    void OnEnable();
    void OnBeeperOff();
    void OnBeeperOn();
    void OnCheckBox();
    void OnSend();
    void OnDelete();

    // Fills combo 1036 from the history; Enter in it sends, Escape destroys the window.
    void FillSendCombo();
    CSendCombo* SendCombo() const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The pressed look of "Trigger Device" (1012), where the panel has that button.
    void SetTriggerButtonPressed(int state);
    void DdxCheck(bool saveAndValidate, int controlId, int32_t& value);
    QAbstractButton* Button(int controlId) const;
    // Every command, clicked, posted or typed, runs here: as one call into the device.
    void RunCommand(int controlId);

    CHidDevice* const m_device;
    int m_triggerState = 0;
    CStringHistory m_history;

private:
    void CreateControls(const CDialogTemplate& dialogTemplate);
    void DestroyWindow();

    const int m_templateId;
    std::map<int, QWidget*> m_controls;
    CDialogUnits m_units;
    std::optional<CDialogUnits> m_hostUnits;
    CDeviceCallGuard::CCounter* m_calls = nullptr;
    bool m_hasWindow = false;
};

// A message map entry: a control number and the handler its click runs.
template <class T> struct CCommandEntry {
    int controlId;
    void (T::*handler)();
};

template <class T, size_t N>
void DispatchCommand(T& panel, const CCommandEntry<T> (&map)[N], int controlId) {
    for (const CCommandEntry<T>& entry : map) {
        if (entry.controlId == controlId) {
            (panel.*entry.handler)();
            return;
        }
    }
}
