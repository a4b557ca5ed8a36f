#include "playback/qt/result_form.h"

#include "widgets/qt/desktop_window.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace zuv {

namespace {

ResultLog::Limits WithShownLineLimit(ResultLog::Limits limits)
{
    limits.maxLineBytes = std::min(limits.maxLineBytes, TResultForm::kMaxShownLineBytes);
    return limits;
}

} // namespace

TResultForm::TResultForm(ResultLog::Limits limits)
    : QWidget(nullptr, Qt::Window), Memo(new QPlainTextEdit(this)),
      m_log(WithShownLineLimit(limits))
{
    setObjectName(QStringLiteral("ResultForm"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("MPlayer kimenet"));
    CloseOnEscape(*this);
    resize(504, 332);

    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A log that is never edited: keeping undo steps would only double its memory.
    Memo->setUndoRedoEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo);
}

void TResultForm::SetCaptionProvider(std::function<std::string()> provider)
{
    m_captionProvider = std::move(provider);
}

void TResultForm::Clear()
{
    Memo->clear();
    m_log.Clear();
    m_noticeShown = false;
}

void TResultForm::Apply(const ResultLog::Change& change)
{
    if (change.first)
        Memo->appendPlainText(QString::fromStdString(*change.first));
    QTextDocument* document = Memo->document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    // Blocks: the first line, the notice once lines were left out, then the newest lines.
    const int newestStart = m_noticeShown ? 2 : 1;
    if (change.removed > 0) {
        const QTextBlock before = document->findBlockByNumber(newestStart - 1);
        const QTextBlock last = document->findBlockByNumber(newestStart + int(change.removed) - 1);
        cursor.setPosition(before.position() + before.length() - 1);
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    if (change.noticeChanged) {
        const QString notice = QString::fromStdString(m_log.Notice());
        if (m_noticeShown) {
            const QTextBlock block = document->findBlockByNumber(1);
            cursor.setPosition(block.position());
            cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
            cursor.insertText(notice);
        } else {
            const QTextBlock first = document->firstBlock();
            cursor.setPosition(first.position() + first.length() - 1);
            cursor.insertBlock();
            cursor.insertText(notice);
            m_noticeShown = true;
        }
    }
    cursor.endEditBlock();
    if (!change.added.empty()) {
        std::string joined;
        std::size_t size = change.added.size();
        for (const std::string& line : change.added)
            size += line.size();
        joined.reserve(size);
        for (const std::string& line : change.added) {
            if (&line != &change.added.front())
                joined += '\n';
            joined += line;
        }
        Memo->appendPlainText(QString::fromStdString(joined));
    }
    Memo->moveCursor(QTextCursor::End);
    Memo->verticalScrollBar()->setValue(Memo->verticalScrollBar()->maximum());
}

void TResultForm::AddLine(std::string_view line)
{
    AddLines({std::string(line)});
}

void TResultForm::AddLines(const std::vector<std::string>& lines)
{
    if (lines.empty())
        return;
    Apply(m_log.Add(lines));
}

void TResultForm::Show()
{
    if (!isVisible())
        show();
}

void TResultForm::Translate()
{
    if (m_captionProvider) {
        const std::string caption = m_captionProvider();
        if (!caption.empty())
            setWindowTitle(QString::fromStdString(caption));
    }
    // The log is all the window holds; screen readers name it after the window.
    Memo->setAccessibleName(windowTitle());
}

void TResultForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        Translate();
    QWidget::showEvent(event);
}

} // namespace zuv
