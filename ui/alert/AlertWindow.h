#pragma once
// The alert window: stays on top, shows when a reminder fell due and its message,
// and lets the user acknowledge it, open it in the editor or hide it for a while.
// One window per reminder number; it destroys itself when it closes.

#include "core/Moment.h"
#include "i18n/LanguageFile.h"
#include "ui/controls/WindowList.h"

#include <QSize>
#include <QWidget>
#include <cstdint>
#include <memory>

class QTimer;
class ScreenBound;
namespace Ui {
class AlertWindow;
}

class AlertWindow final : public QWidget {
    Q_OBJECT

public:
    // The client size at the default font; longer texts and larger fonts grow it.
    static constexpr QSize DesignedSize{388, 273};
    // The postponement counts down in ticks of a second.
    static constexpr int PostponeTickMs = 1000;
    // After the window appears, "Ok" and "Edit..." are ignored this long, so that a
    // key or click meant for another window does not acknowledge the alert unseen.
    static constexpr int GuardMs = 1200;

    // Opens the alert window of reminder `number` with `message`, or reuses the one
    // open for it ("re:" before the text), and returns it. `now` is the moment of the
    // alert; a new window takes its texts from `lines` (the designed English ones stay
    // where it has none).
    static AlertWindow* showAlert(const QString& message, std::int32_t number, Moment now,
                                  const LanguageSection<AlertLine>& lines = {});
    // The moment as the alert window shows it: date and time in the user's locale.
    static QString momentText(Moment t);

    ~AlertWindow() override;

    std::int32_t number() const { return m_number; }
    // True once the window has begun closing: it is no longer found for a new alert.
    bool isClosing() const { return m_closing; }
    QString alertText() const;
    // Whether "Ok" and "Edit..." act: not during the guard time, nor while postponed.
    bool buttonsArmed() const { return m_buttonsArmed; }
    // Seconds still to wait before a postponed window comes back.
    int countdownSeconds() const { return m_countdown; }

    // What the postpone buttons do: hides the window for `minutes`, after which it
    // comes back guarded again. Works during the guard time too; a new postponement
    // replaces a running one. Anything but a positive number of minutes does nothing.
    void postpone(int minutes);
    // The message and the due time as the window shows them.
    QString message() const { return windowTitle(); }
    QString dueText() const { return accessibleDescription(); }
    // The caption of "Ok" in the window's language.
    QString okText() const;
    // Answers the alert from elsewhere (a desktop notification), guard time or not: the
    // user acted on purpose there.
    void answer();
    // Brings the window to the front with the focus on "Ok", and announces it.
    void bringForward();

signals:
    // "Edit..." was pressed while the buttons are armed, for a saved reminder. The
    // receiver opens the editor when the reminder still exists and then closes this
    // window; when it no longer exists the window stays.
    void editRequested(std::int32_t number);
    // The user closed the window ("Ok", "Edit..." or the close box); a window destroyed at the
    // end of the program was not answered.
    void answered(std::int32_t number);
    // The window appeared, came back after a postponement or showed a new alert.
    void presented();
    // A postponement hid the window.
    void postponed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit AlertWindow(const LanguageSection<AlertLine>& lines);

    // Takes the texts the section has (the designed English ones stay for the others),
    // and the accessible names and hints from them.
    void loadTexts(const LanguageSection<AlertLine>& lines);
    void setCaption(const QString& text);
    void setAlertText(const QString& text);
    // The designed size, or larger where the texts and the font need more; never more
    // than `room`.
    void fitToContents(QSize room);
    // Tells assistive technology that an alert appeared, and on native Wayland the
    // compositor.
    void announce();

    void acknowledge();
    void requestEdit();
    void countdownTick();
    void guardElapsed();

    WindowList<AlertWindow>::Entry m_listed{this};
    std::unique_ptr<Ui::AlertWindow> m_ui;
    // Children named "postponeTimer" and "guardTimer".
    QTimer* m_postponeTimer;
    QTimer* m_guardTimer;
    ScreenBound* m_screenBound;
    std::int32_t m_number = 0;
    int m_countdown = 0;
    bool m_buttonsArmed = false;
    bool m_closing = false;
};
