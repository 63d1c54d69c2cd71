#include "app/COutputWindow.h"

#include "settings/CDisplaySettings.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr int32_t kDefaultTenths = 100;
constexpr int32_t kMinTenths = 10;
constexpr int32_t kMaxTenths = 7200;
constexpr qint64 kFrameMs = 16;

// Events to the output window, its viewport or its scroll bars whose handling reads the
// document layout: painting, resizing and the user's own input.
bool NeedsLayout(QEvent::Type type) {
    switch (type) {
    case QEvent::Paint:
    case QEvent::Resize:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

COutputWindow::COutputWindow(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName("1020");
    // Output is appended without undo, and keeping an undo record per run would cost memory
    // for every line ever shown.
    setUndoRedoEnabled(false);
    // Lines are never wrapped: long raw dumps scroll horizontally.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    m_editCursor = QTextCursor(document());
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, &COutputWindow::FlushOutput);
    qApp->installEventFilter(this);
}

COutputWindow::~COutputWindow() {
    if (qApp)
        qApp->removeEventFilter(this);
    if (m_editOpen)
        m_editCursor.endEditBlock();
    RepaintDeferredWindow();
}

QTextCharFormat COutputWindow::RunFormat(uint32_t colour, bool bold) {
    QTextCharFormat format;
    // "Automatic" keeps no colour of its own, so the run shows in the widget's text colour.
    if (colour != CLR_DEFAULT)
        format.setForeground(
            QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)));
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

void COutputWindow::BeginOutputEdit() {
    if (m_editOpen)
        return;
    m_editOpen = true;
    m_editCursor.beginEditBlock();
    // At most one layout, scroll and repaint per display frame, however fast lines arrive.
    const qint64 sinceFlush = m_sinceFlush.isValid() ? m_sinceFlush.elapsed() : kFrameMs;
    m_flushTimer.start(int(std::max<qint64>(0, kFrameMs - sinceFlush)));
}

QTextCursor& COutputWindow::InsertionCursor() {
    // Output goes where the widget's cursor is and replaces the user's selection. The widget's
    // cursor moves on behind each insertion, so while nobody moves it, the cursor of the last
    // insertion is still in the same place and is used again.
    const QTextCursor widgetCursor = textCursor();
    if (m_insertCursor.isNull() || widgetCursor.hasSelection() ||
        widgetCursor.position() != m_insertCursor.position())
        m_insertCursor = widgetCursor;
    return m_insertCursor;
}

const QTextCharFormat& COutputWindow::CachedRunFormat(uint32_t colour, bool bold) {
    constexpr int kMaxCachedFormats = 64;
    const quint64 key = quint64(colour) | (quint64(bold) << 32);
    auto found = m_runFormats.constFind(key);
    if (found != m_runFormats.constEnd())
        return *found;
    if (m_runFormats.size() >= kMaxCachedFormats)
        m_runFormats.clear();
    return *m_runFormats.insert(key, RunFormat(colour, bold));
}

void COutputWindow::AppendText(const std::string& text, uint32_t colour, bool bold) {
    if (text.empty())
        return;
    BeginOutputEdit();
    m_unmodifiedAtFlush = false;
    InsertionCursor().insertText(QString::fromLatin1(text.data(), qsizetype(text.size())),
                                 CachedRunFormat(colour, bold));
    ++m_pendingLineScrolls;
}

void COutputWindow::AppendNewLine() {
    BeginOutputEdit();
    m_unmodifiedAtFlush = false;
    InsertionCursor().insertText(QStringLiteral("\r\n"));
}

void COutputWindow::ScrollToEnd() {
    document()->setModified(false);
    m_unmodifiedAtFlush = m_editOpen;
    m_scrollToEnd = true;
    m_scrollEndBlock = document()->blockCount() - 1;
    m_pendingLineScrolls = 0;
    if (!m_editOpen)
        ApplyPendingScroll();
}

void COutputWindow::FlushOutput() {
    m_flushTimer.stop();
    m_sinceFlush.start();
    if (m_editOpen) {
        m_editOpen = false;
        m_editCursor.endEditBlock();
        // Closing the block marks the document modified; a ScrollToEnd after the last
        // insertion had cleared that.
        if (m_unmodifiedAtFlush)
            document()->setModified(false);
        m_unmodifiedAtFlush = false;
    }
    ApplyPendingScroll();
    RepaintDeferredWindow();
}

void COutputWindow::RepaintDeferredWindow() {
    // The window's repaint request was held back; it waits for a new one.
    if (m_deferredRepaint) {
        QCoreApplication::postEvent(m_deferredRepaint, new QEvent(QEvent::UpdateRequest),
                                    Qt::LowEventPriority);
        m_repaintOwed = true;
    }
    m_deferredRepaint = nullptr;
}

void COutputWindow::ApplyPendingScroll() {
    if (!m_scrollToEnd && m_pendingLineScrolls == 0)
        return;
    QScrollBar* bar = verticalScrollBar();
    int value = bar->value();
    if (m_scrollToEnd) {
        const int linesBelow = document()->blockCount() - 1 - m_scrollEndBlock;
        value = bar->maximum() - linesBelow;
    }
    value = std::clamp(value + m_pendingLineScrolls, bar->minimum(), bar->maximum());
    m_scrollToEnd = false;
    m_pendingLineScrolls = 0;
    bar->setValue(value);
}

void COutputWindow::SetOutputFont(const std::string& face, int32_t tenthsOfPoint) {
    if (tenthsOfPoint < kMinTenths || tenthsOfPoint > kMaxTenths)
        tenthsOfPoint = kDefaultTenths;
    QFont font = face.empty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                              : QFont(QString::fromStdString(face));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(tenthsOfPoint / 10.0);
    FlushOutput();
    setFont(font);
}

void COutputWindow::ClearOutput() {
    FlushOutput();
    m_insertCursor = QTextCursor();
    // Deleting the whole selection run by run takes seconds at a million lines; emptying the
    // document leaves the same result (no text, the default format, a modified document).
    document()->clear();
    document()->setModified(true);
}

bool COutputWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::UpdateRequest && watched == window()) {
        const bool owed = m_repaintOwed;
        m_repaintOwed = false;
        if (!m_editOpen)
            return false;
        // The window repaints with the next flush, at most a frame from now, so that a stream
        // of lines does not lay out and repaint the whole window once per line. The repaint
        // that a flush asks for is never held back, or a steady stream would starve it.
        if (!owed && m_sinceFlush.isValid() && m_sinceFlush.elapsed() < kFrameMs) {
            m_deferredRepaint = window();
            return true;
        }
        m_deferredRepaint = nullptr;
        FlushOutput();
        return false;
    }
    if (!m_editOpen)
        return false;
    const bool ours = watched == this || watched == viewport() || watched == verticalScrollBar() ||
                      watched == horizontalScrollBar();
    if (ours && NeedsLayout(event->type()))
        FlushOutput();
    return false;
}
