#pragma once

#include <QFont>
#include <QRect>

#include <cstdint>
#include <vector>

class QWidget;

// The kinds of controls a dialog template places.
enum class CControlKind {
    Static,
    Icon,
    Frame,
    GroupBox,
    ComboBox,
    Edit,
    CheckBox,
    PushButton,
    RichEdit
};

// Control options, as the template's styles give them.
enum CControlOption : uint32_t {
    CTL_NONE = 0,
    CTL_HIDDEN = 1u << 0,   // not visible
    CTL_READONLY = 1u << 1, // edit: read-only
    CTL_SORTED = 1u << 2,   // combo box: sorted list
    CTL_DEFAULT = 1u << 3,  // push button: the default button
    CTL_NOPREFIX = 1u << 4, // static: no mnemonic processing
    CTL_CUSTOM = 1u << 5,   // made by the dialog itself and placed on its rectangle
    CTL_CENTER = 1u << 6,   // static: text centred both ways
    CTL_SIMPLE = 1u << 7,   // combo box: the list always shown, as tall as its rectangle
};

// The control identifier of controls that carry none.
constexpr int IDC_STATIC = -1;

// One control of a template; rectangle in dialog units (left, top, width, height).
struct CControlTemplate {
    int id;
    CControlKind kind;
    const char* text;
    int x;
    int y;
    int cx;
    int cy;
    uint32_t options;
};

// A dialog as designed: caption, client size in dialog units, whether it is a child window
// (a panel laid into another dialog), its controls in creation (tab) order and the width in
// pixels of a static edge drawn around the client area.
struct CDialogTemplate {
    int id;
    const char* caption;
    int cx;
    int cy;
    bool child;
    std::vector<CControlTemplate> controls;
    int edge = 0;
};

// Dialog units to pixels by the dialog font's base units: x = average char width / 4,
// y = char height / 8, rounded as the windowing system rounds them.
class CDialogUnits {
public:
    CDialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}
    static CDialogUnits FromFont(const QFont& font);
    // The font's units, widened where a caption of the template would not fit its control in
    // this font and style: the whole dialog grows in proportion, so controls never overlap.
    static CDialogUnits ForTemplate(const CDialogTemplate& dialogTemplate, const QWidget& dialog);

    int ToPixelsX(int dlu) const { return MulDiv(dlu, m_baseX, 4); }
    int ToPixelsY(int dlu) const { return MulDiv(dlu, m_baseY, 8); }
    QRect ToPixels(int x, int y, int cx, int cy) const;
    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

private:
    static int MulDiv(int value, int numerator, int denominator);

    int m_baseX;
    int m_baseY;
};

// Creates a template's controls as children of `dialog`, each with its identifier as
// objectName, and sizes the dialog to the template and its edge. Custom controls are left to
// the dialog; group boxes lie below the controls they surround.
class CDialogBuilder {
public:
    static void Build(const CDialogTemplate& dialogTemplate, QWidget& dialog);
    // The same with given units: a panel laid into another dialog takes that dialog's units.
    static void Build(const CDialogTemplate& dialogTemplate, QWidget& dialog,
                      const CDialogUnits& units);
    // Places a control that the dialog created on its template rectangle and names it.
    static void PlaceControl(const CDialogTemplate& dialogTemplate, QWidget& dialog,
                             QWidget& control, int id);
    static void PlaceControl(const CDialogTemplate& dialogTemplate, QWidget& dialog,
                             QWidget& control, int id, const CDialogUnits& units);
    // Sets the tab order of the dialog's named controls to the template's order.
    static void ApplyTabOrder(const CDialogTemplate& dialogTemplate, QWidget& dialog);
    static const CControlTemplate* FindControl(const CDialogTemplate& dialogTemplate, int id);
};
