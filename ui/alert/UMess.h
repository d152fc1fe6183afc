#pragma once
// The alert window: stays on top, shows when a reminder fell due and its message,
// and lets the user acknowledge it, open it in the editor or hide it for a while.
// One window per reminder number; it destroys itself when it closes.

#include "core/Moment.h"

#include <QWidget>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

class TFMess final : public QWidget {
    Q_OBJECT

public:
    // Windows are made by ShowAlertWindow; they have no parent and no owner.
    TFMess();

    std::int32_t NumOfThing() const { return numOfThing_; }
    bool ButtonEnabled() const { return buttonEnabled_; }
    QString AlertText() const;
    // Seconds still to wait before a postponed window comes back.
    int Countdown() const { return countdown_; }
    // Milliseconds between ticks of the postponement and guard timers.
    static constexpr int PostponeTickMs = 1000;
    static constexpr int GuardMs = 1200;
    QTimer* Timer1() const { return timer1_; }
    QTimer* tmButtons() const { return tmButtons_; }

    // Event handlers, public so that tests can drive the timers directly.
    void btOkClick();
    void btEditClick();
    // The handler of all postpone buttons; anything else as sender does nothing.
    void SpeedButton1Click(QObject* sender);
    void Timer1Timer();
    void tmButtonsTimer();

    // Sets the texts of the labels and buttons; the language file will replace
    // the built-in English texts here.
    void LoadAlertTexts();

signals:
    // "Edit..." was pressed while the buttons accept clicks, for a saved reminder.
    // The receiver opens the editor when reminder N still exists and then closes
    // this window; when it no longer exists the window stays.
    void editRequested(std::int32_t N);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend TFMess* ShowAlertWindow(const QString& text, std::int32_t number, Moment now);
    friend TFMess* FindAlertForm(std::int32_t N);

    void SetCaption(const QString& text);
    void SetAlertText(const QString& text);
    // Tells assistive technology that an alert appeared.
    void Announce();

    bool buttonEnabled_ = false;
    bool closing_ = false;
    std::int32_t numOfThing_ = 0;
    int countdown_ = 0;
    QTimer* timer1_;
    QTimer* tmButtons_;
    QFrame* Panel1;
    QLabel* Label2;
    QFrame* Panel2;
    QLabel* Label3;
    QLabel* Label1;
    QToolButton* postpone_[7];
    QPushButton* btOk;
    QPushButton* btEdit;
};

// Opens the alert window of reminder `number`, or reuses the one already open for
// it ("re:" before the text). `now` is the moment of the alert.
TFMess* ShowAlertWindow(const QString& text, std::int32_t number, Moment now);
// The first open alert window of reminder N, or null.
TFMess* FindAlertForm(std::int32_t N);
// The moment as the alert window shows it: date and time in the user's locale.
QString AlertMomentText(Moment t);
