#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <string_view>

class QPushButton;
class QTimer;

namespace zuv {

class TMarkupLabel;

// The window that counts down to the power-off after playback; OK when the count runs out,
// Cancel from its button or the close box. Created once and reused for every countdown.
class TCountdownForm : public QDialog
{
    Q_OBJECT

public:
    // Looks up a language text by section and key; the built-in text when the language is silent.
    using TextLookup = std::function<std::string(std::string_view section, std::string_view key,
                                                 std::string_view builtIn)>;

    explicit TCountdownForm(QWidget* parent = nullptr);

    void SetTextLookup(TextLookup lookup);

    // Prepares a countdown of `seconds`; the caller then shows the window modally (exec) and
    // powers off on Accepted.
    void StartCountdown(int seconds);

    // One tick of the timer: one second less; OK at 0 or below.
    void TimerTimer();

    int SecondsLeft() const { return m_secondsLeft; }
    const std::string& Template() const { return m_template; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowSeconds();
    // Sizes the label to its text and the window around it and the button.
    void LayOut();

    // Controls, named as the window was designed.
    TMarkupLabel* Label = nullptr;
    QPushButton* btnCancel = nullptr;
    // The one-second timer; tests shorten it or call TimerTimer themselves.
    QTimer* Timer = nullptr;
    TextLookup m_lookup;
    std::string m_template;
    int m_secondsLeft = 0;
};

} // namespace zuv
