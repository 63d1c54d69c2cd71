// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "outputwindow/COutputWindow.h"

#include "outputwindow/COutputFindBar.h"
#include "outputwindow/COutputHintBar.h"
#include "outputwindow/COutputSearch.h"
#include "settings/CDisplaySettings.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr int32_t kDefaultTenths = 100;
constexpr int32_t kMinTenths = 10;
constexpr int32_t kMaxTenths = 7200;
constexpr qint64 kFrameMs = 16;
// Matches are marked in the lines in view only, and at most this many: every mark is a cursor
// that the document moves along with each insertion.
constexpr int kMaxMarks = 2000;
const QColor kMatchMark(0xFF, 0xFF, 0x00);
const QColor kCurrentMatchMark(0xFF, 0x96, 0x32);
// The colours of the roles until the owner gives the window its settings.
const CDisplaySettings kDefaultColours;

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

COutputWindow::COutputWindow(QWidget* parent)
    : QPlainTextEdit(parent), m_colours(&kDefaultColours) {
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

    // The stored colours (black, navy, blue, grey) are meant for a white page, so the page and
    // the "Automatic" text stay white and black under any desktop colours.
    QPalette page = palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        page.setColor(group, QPalette::Base, Qt::white);
        page.setColor(group, QPalette::Text, Qt::black);
    }
    setPalette(page);

    m_search = new COutputSearch(*document(), this);
    m_findBar = new COutputFindBar(*m_search, this);
    connect(m_findBar, &COutputFindBar::ShowCurrentMatch, this, &COutputWindow::ShowCurrentMatch);
    connect(m_findBar, &COutputFindBar::Opened, this, &COutputWindow::PlaceFindBar);
    m_hintBar = new COutputHintBar(tr("Use Complete Decoding"), this);
    connect(m_hintBar, &COutputHintBar::Opened, this, &COutputWindow::PlaceFindBar);
    connect(m_hintBar, &COutputHintBar::Closed, this, &COutputWindow::PlaceFindBar);
    connect(m_findBar, &COutputFindBar::Closed, this, [this] {
        PlaceFindBar();
        MarkVisibleMatches();
        setFocus(Qt::OtherFocusReason);
    });
    m_markTimer.setSingleShot(true);
    connect(&m_markTimer, &QTimer::timeout, this, &COutputWindow::MarkVisibleMatches);
    connect(m_search, &COutputSearch::Changed, this, &COutputWindow::ScheduleMatchMarks);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            &COutputWindow::ScheduleMatchMarks);
    CreateActions();
}

bool COutputWindow::ClosesFindBar(QObject* watched, const QEvent& event) const {
    // Escape belongs to the open find bar wherever the focus is in this window, before the
    // dialog takes it as closing the program. Popups and boxes are windows of their own.
    const auto& key = static_cast<const QKeyEvent&>(event);
    if (key.key() != Qt::Key_Escape || key.modifiers() != Qt::NoModifier || m_findBar->isHidden() ||
        !watched->isWidgetType()) {
        return false;
    }
    return static_cast<QWidget*>(watched)->window() == window();
}

void COutputWindow::CreateActions() {
    m_copyAction = new QAction(tr("Copy"), this);
    m_copyAction->setShortcut(QKeySequence::Copy);
    connect(m_copyAction, &QAction::triggered, this, &QPlainTextEdit::copy);
    m_selectAllAction = new QAction(tr("Select All"), this);
    m_selectAllAction->setShortcut(QKeySequence::SelectAll);
    connect(m_selectAllAction, &QAction::triggered, this, &QPlainTextEdit::selectAll);
    m_clearAction = new QAction(tr("Clear Output"), this);
    connect(m_clearAction, &QAction::triggered, this, &COutputWindow::ClearOutput);

    m_findAction = new QAction(tr("Find\u2026"), this);
    m_findAction->setShortcut(QKeySequence::Find);
    connect(m_findAction, &QAction::triggered, this, [this] { m_findBar->Open(ViewTop()); });
    m_findNextAction = new QAction(tr("Find Next"), this);
    m_findNextAction->setShortcut(QKeySequence::FindNext);
    m_findPreviousAction = new QAction(tr("Find Previous"), this);
    m_findPreviousAction->setShortcut(QKeySequence::FindPrevious);
    for (QAction* step : {m_findNextAction, m_findPreviousAction}) {
        const bool forward = step == m_findNextAction;
        connect(step, &QAction::triggered, this, [this, forward] {
            // A closed bar opens on the first match in view.
            if (m_findBar->isHidden()) {
                m_findBar->Open(ViewTop());
            } else {
                m_findBar->FindNext(forward);
            }
        });
    }
    m_saveAction = new QAction(tr("Save Output As\u2026"), this);
    m_saveAction->setShortcut(QKeySequence::Save);
    connect(m_saveAction, &QAction::triggered, this, &COutputWindow::SaveOutputRequested);
    // Copy and Select All are the editor's own keys; these work anywhere in the window.
    for (QAction* action : {m_findAction, m_findNextAction, m_findPreviousAction, m_saveAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

void COutputWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_copyAction->setEnabled(textCursor().hasSelection());
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(m_copyAction);
    menu->addAction(m_selectAllAction);
    menu->addSeparator();
    menu->addAction(m_findAction);
    menu->addAction(m_saveAction);
    menu->addSeparator();
    menu->addAction(m_clearAction);
    Q_EMIT ContextMenuOpening(*menu);
    menu->popup(event->globalPos());
    event->accept();
}

void COutputWindow::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    PlaceFindBar();
}

void COutputWindow::PlaceFindBar() {
    // The bars take the bottom (find) and top (hint) of the window's own area, so the dialog's
    // layout stays as it is.
    const int height = m_findBar->isHidden() ? 0 : m_findBar->sizeHint().height();
    const int hintHeight = m_hintBar->isHidden() ? 0 : m_hintBar->HeightAt(viewport()->width());
    if (viewportMargins().bottom() != height || viewportMargins().top() != hintHeight) {
        setViewportMargins(0, hintHeight, 0, height);
    }
    const QRect view = viewport()->geometry();
    if (height != 0) {
        m_findBar->setGeometry(view.left(), view.bottom() + 1, view.width(), height);
    }
    if (hintHeight != 0) {
        m_hintBar->setGeometry(view.left(), view.top() - hintHeight, view.width(), hintHeight);
    }
}

int COutputWindow::ViewTop() {
    FlushOutput();
    return firstVisibleBlock().position();
}

void COutputWindow::ShowCurrentMatch() {
    // What the open edit block holds moves the matches; it goes in first.
    FlushOutput();
    const int start = m_search->CurrentPosition();
    if (start < 0) {
        return;
    }
    // The view moves, never the caret: output goes on where it went.
    const QTextBlock block = document()->findBlock(start);
    QScrollBar* vertical = verticalScrollBar();
    const int lineHeight = std::max(1, fontMetrics().lineSpacing());
    const int linesInView = std::max(1, viewport()->height() / lineHeight);
    const int line = block.firstLineNumber();
    if (line < vertical->value() || line >= vertical->value() + linesInView) {
        vertical->setValue(line - linesInView / 2);
    }
    QTextCursor from(document());
    from.setPosition(start);
    QTextCursor to(document());
    to.setPosition(start + int(m_search->Text().size()));
    const int left = cursorRect(from).left();
    const int right = cursorRect(to).right();
    const int width = viewport()->width();
    if (left < 0 || right > width) {
        QScrollBar* horizontal = horizontalScrollBar();
        horizontal->setValue(horizontal->value() + left - width / 4);
    }
    MarkVisibleMatches();
}

void COutputWindow::ScheduleMatchMarks() {
    if (!m_findBar->isHidden() && !m_markTimer.isActive()) {
        m_markTimer.start(0);
    }
}

void COutputWindow::MarkVisibleMatches() {
    m_markTimer.stop();
    QList<QTextEdit::ExtraSelection> marks;
    const int length = int(m_search->Text().size());
    if (!m_findBar->isHidden() && length != 0 && !m_search->Matches().empty()) {
        // Lines are never wrapped, so the view holds one block per line.
        QTextBlock block = firstVisibleBlock();
        const int from = block.position();
        const int lineHeight = std::max(1, fontMetrics().lineSpacing());
        for (int lines = viewport()->height() / lineHeight; lines > 0 && block.next().isValid();
             --lines) {
            block = block.next();
        }
        const int to = block.position() + block.length();
        const std::vector<int>& matches = m_search->Matches();
        const int current = m_search->CurrentPosition();
        for (auto it = std::lower_bound(matches.begin(), matches.end(), from - length + 1);
             it != matches.end() && *it < to && marks.size() < kMaxMarks; ++it) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(document());
            mark.cursor.setPosition(*it);
            mark.cursor.setPosition(*it + length, QTextCursor::KeepAnchor);
            mark.format.setBackground(*it == current ? kCurrentMatchMark : kMatchMark);
            marks.append(mark);
        }
    }
    setExtraSelections(marks);
}

COutputWindow::~COutputWindow() {
    if (qApp) {
        qApp->removeEventFilter(this);
    }
    if (m_editOpen) {
        m_editCursor.endEditBlock();
    }
    RepaintDeferredWindow();
}

QTextCharFormat COutputWindow::RunFormat(uint32_t colour, bool bold) {
    QTextCharFormat format;
    // "Automatic" keeps no colour of its own, so the run shows in the widget's text colour.
    if (colour != CLR_DEFAULT) {
        format.setForeground(
            QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)));
    }
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

void COutputWindow::BeginOutputEdit() {
    if (m_editOpen) {
        return;
    }
    m_editOpen = true;
    const QScrollBar* vertical = verticalScrollBar();
    m_followOutput = vertical->value() >= vertical->maximum();
    // Insertions at the end move every cursor that sits there: the user's caret, and the end
    // of a selection that reaches the end (Select All), would grow over the output.
    const QTextCursor user = textCursor();
    const int end = document()->characterCount() - 1;
    m_keepUsersPlace = user.anchor() == end || user.position() == end;
    m_userAnchor = user.anchor();
    m_userPosition = user.position();
    m_editCursor.beginEditBlock();
    // At most one layout, scroll and repaint per display frame, however fast lines arrive.
    const qint64 sinceFlush = m_sinceFlush.isValid() ? m_sinceFlush.elapsed() : kFrameMs;
    m_flushTimer.start(int(std::max<qint64>(0, kFrameMs - sinceFlush)));
}

QTextCursor& COutputWindow::InsertionCursor() {
    // The cursor of the last insertion stays at the end while only output is appended.
    if (m_insertCursor.isNull() || !m_insertCursor.atEnd()) {
        m_insertCursor = QTextCursor(document());
        m_insertCursor.movePosition(QTextCursor::End);
    }
    return m_insertCursor;
}

const QTextCharFormat& COutputWindow::CachedRunFormat(uint32_t colour, bool bold) {
    constexpr int kMaxCachedFormats = 64;
    const quint64 key = quint64(colour) | (quint64(bold) << 32);
    auto found = m_runFormats.constFind(key);
    if (found != m_runFormats.constEnd()) {
        return *found;
    }
    if (m_runFormats.size() >= kMaxCachedFormats) {
        m_runFormats.clear();
    }
    return *m_runFormats.insert(key, RunFormat(colour, bold));
}

void COutputWindow::AppendText(const std::string& text, OutputRole role, bool bold) {
    AppendRun(text, m_colours->RoleColour(role), bold);
}

void COutputWindow::AppendRun(const std::string& text, uint32_t colour, bool bold) {
    if (text.empty()) {
        return;
    }
    BeginOutputEdit();
    m_unmodifiedAtFlush = false;
    InsertionCursor().insertText(QString::fromLatin1(text.data(), qsizetype(text.size())),
                                 CachedRunFormat(colour, bold));
}

void COutputWindow::AppendNewLine() {
    BeginOutputEdit();
    m_unmodifiedAtFlush = false;
    InsertionCursor().insertText(QStringLiteral("\r\n"));
}

void COutputWindow::ScrollToEnd() {
    document()->setModified(false);
    m_unmodifiedAtFlush = m_editOpen;
}

void COutputWindow::FlushOutput() {
    m_flushTimer.stop();
    m_sinceFlush.start();
    if (m_editOpen) {
        m_editOpen = false;
        m_editCursor.endEditBlock();
        // Closing the block marks the document modified; a ScrollToEnd after the last
        // insertion had cleared that.
        if (m_unmodifiedAtFlush) {
            document()->setModified(false);
        }
        m_unmodifiedAtFlush = false;
        KeepUsersPlaceAfterOutput();
    }
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

void COutputWindow::KeepUsersPlaceAfterOutput() {
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    const int top = vertical->value();
    const int left = horizontal->value();
    if (m_keepUsersPlace) {
        m_keepUsersPlace = false;
        QTextCursor user(document());
        user.setPosition(m_userAnchor);
        user.setPosition(m_userPosition, QTextCursor::KeepAnchor);
        // Setting the cursor brings it into view; the view stays where the user had it.
        setTextCursor(user);
        horizontal->setValue(left);
    }
    vertical->setValue(m_followOutput ? vertical->maximum() : top);
}

void COutputWindow::SetOutputFont(const std::string& face, int32_t tenthsOfPoint) {
    if (tenthsOfPoint < kMinTenths || tenthsOfPoint > kMaxTenths) {
        tenthsOfPoint = kDefaultTenths;
    }
    QFont font = face.empty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                              : QFont(QString::fromStdString(face));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(tenthsOfPoint / 10.0);
    FlushOutput();
    setFont(font);
}

void COutputWindow::ClearOutput() {
    FlushOutput();
    // Deleting the whole selection run by run takes seconds at a million lines; emptying the
    // document leaves the same result (no text, the default format, a modified document).
    document()->clear();
    document()->setModified(true);
}

bool COutputWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::UpdateRequest && watched == window()) {
        const bool owed = m_repaintOwed;
        m_repaintOwed = false;
        if (!m_editOpen) {
            return false;
        }
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
    if (event->type() == QEvent::KeyPress && ClosesFindBar(watched, *event)) {
        m_findBar->Close();
        return true;
    }
    if (!m_editOpen) {
        return false;
    }
    const bool ours = watched == this || watched == viewport() || watched == verticalScrollBar() ||
                      watched == horizontalScrollBar();
    if (ours && NeedsLayout(event->type())) {
        FlushOutput();
    }
    return false;
}
