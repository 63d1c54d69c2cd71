// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "layout/CControlLayout.h"
#include "layout/CDialogTemplate.h"
#include "layout/CGripOwner.h"
#include "layout/CPlacementStore.h"
#include "layout/CSizeLimits.h"

#include <QDialog>

#include <cstdint>
#include <string>

// A dialog built from a template that the user can resize: a top-level one cannot be made
// smaller than designed and shows a size grip; anchored children follow the window's size;
// the placement can be kept in the settings store. A child-window dialog (a panel) keeps its
// size rules to its parent and never shows a grip.
class CResizeSupport : public QDialog,
                       public CControlLayout,
                       public CGripOwner,
                       public CSizeLimits,
                       public CPlacementStore {
    Q_OBJECT
public:
    // Bit of the grip request bits that is set while the window is not maximised.
    static constexpr uint32_t kGripNotMaximized = 1u << 0;

    CResizeSupport(const CDialogTemplate& dialogTemplate, QWidget* parent,
                   CSettingsStore* store = nullptr);
    ~CResizeSupport() override;

    // Restores the placement stored in `section` now and stores it when the window is
    // destroyed. Returns whether a stored placement was applied.
    bool KeepPlacement(const std::string& section, bool rectOnly);

    const CDialogTemplate& Template() const { return m_template; }
    // The control with the template identifier `id`, or null.
    QWidget* Control(int id) const;
    template <typename T> T* ControlAs(int id) const { return qobject_cast<T*>(Control(id)); }
    uint32_t GripRequestBits() const { return m_gripRequestBits; }

protected:
    QWidget* OwnerWindow() const override;
    // Places a control the dialog made itself on its template rectangle.
    void PlaceControl(QWidget& control, int id);
    // The end of the window: the kept placement is stored and the anchors are forgotten.
    // Runs once, when the dialog finishes or at the latest when it is deleted.
    void OnDestroy();

    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OnSizeChanged();

    const CDialogTemplate& m_template;
    uint32_t m_gripRequestBits = kGripNotMaximized;
    bool m_placementKept = false;
    bool m_rectOnly = false;
    std::string m_section;
    bool m_destroyed = false;
};
