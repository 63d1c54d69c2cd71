// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

class CSizeGripWnd;
class QWidget;

// Owns the size grip of a resizable window and decides where and whether it shows. Each
// reason for showing the grip is a bit in its caller's own flag word and counts once.
class CGripOwner {
public:
    virtual ~CGripOwner();

    // Creates the grip in the owner's bottom-right corner; false when it cannot be created.
    bool CreateGrip(bool visible);
    // Puts the grip into the owner's bottom-right corner, behind its siblings, shown or hidden
    // by the visibility count.
    void PlaceGrip();
    void RequestGrip(uint32_t& flags, uint32_t bit);
    void ReleaseGrip(uint32_t& flags, uint32_t bit);
    void SetGripShown(bool shown);
    bool IsGripShown() const;
    CSizeGripWnd* Grip() const { return m_grip; }

protected:
    virtual QWidget* OwnerWindow() const = 0;

private:
    // A child of the owner: the owner's destruction deletes it.
    CSizeGripWnd* m_grip = nullptr;
};
