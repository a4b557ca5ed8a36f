#pragma once

#include "playback/result_log.h"

#include <QWidget>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QPlainTextEdit;

namespace zuv {

// The window that shows what the player printed during the last run: a read-only text that
// wraps long lines, with a vertical scroll bar only. Shown and hidden, never modal. A window of
// its own beside the main window, not above it: the desktop stacks, minimizes and lists the two
// apart. What it holds is bounded (see ResultLog), so a player that floods its output cannot fill
// the memory.
class TResultForm : public QWidget
{
    Q_OBJECT

public:
    // Longer lines are shown as several: laying out one long paragraph would freeze the window
    // (a player's status line is far shorter). Cuts fall between UTF-8 characters.
    static constexpr std::size_t kMaxShownLineBytes = 4 * 1024;

    // Without a parent: its owner deletes it. It never keeps the program running on its own.
    explicit TResultForm(ResultLog::Limits limits = {});

    // Gives the translated caption, or empty to keep the current one; asked whenever the window
    // is shown and by Translate.
    void SetCaptionProvider(std::function<std::string()> provider);

    void Clear();
    // Appends a new last line and scrolls to it.
    void AddLine(std::string_view line);
    // Appends several lines at once (one layout pass, one scroll) and scrolls to the last.
    void AddLines(const std::vector<std::string>& lines);
    // Makes the window visible; a window already visible is left as it is.
    void Show();
    // Applies the caption provider now (after a change of language).
    void Translate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Apply(const ResultLog::Change& change);

    QPlainTextEdit* Memo = nullptr;
    ResultLog m_log;
    bool m_noticeShown = false;
    std::function<std::string()> m_captionProvider;
};

} // namespace zuv
