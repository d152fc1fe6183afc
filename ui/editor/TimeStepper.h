#pragma once
// The time of day of a scheduled reminder, shown as two large numbers and changed only
// in steps: four arrow buttons (a click steps once; held, they repeat) and, from the
// keyboard anywhere in the window, Alt+Up/Down for the hour and Alt+Shift+Up/Down for
// the minute. The hour and the minute wrap on their own, neither carries into the other.

#include <QTime>
#include <QWidget>

#include <cstdint>

class QLabel;
class QTimer;
class QToolButton;

class TimeStepper final : public QWidget {
    Q_OBJECT

public:
    // A held arrow steps every RepeatInterval ms once it has been held RepeatDelay ms.
    static constexpr int RepeatInterval = 100;
    static constexpr int RepeatDelay = 500;

    explicit TimeStepper(QWidget* parent = nullptr);
    ~TimeStepper() override;

    // Hours and minutes; seconds are always 0.
    QTime value() const { return QTime(m_hour, m_minute); }
    void setValue(QTime time);

    // Tells assistive technology what the two numbers are.
    void setDigitsDescription(const QString& description);

signals:
    void valueChanged(QTime time);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum class Step { MinuteUp, MinuteDown, HourUp, HourDown };

    QToolButton* makeArrow(const char* name, Qt::ArrowType arrow, const QString& hint);
    void step(Step step);
    void press(Step step);
    void release();
    void repeat();
    void stopRepeating();
    void showValue();
    // The numbers are drawn 24/11 the window's type size (24 px at the designed 11 px).
    void fitDigitFont();

    QLabel* m_hourLabel;
    QLabel* m_colonLabel;
    QLabel* m_minuteLabel;
    QToolButton* m_hourUpButton;
    QToolButton* m_hourDownButton;
    QToolButton* m_minuteUpButton;
    QToolButton* m_minuteDownButton;
    QTimer* m_repeatTimer;
    int m_hour = 0;
    int m_minute = 0;
    // How long the arrow has been held, in steps of RepeatInterval ms (a 16-bit count).
    std::uint16_t m_heldMs = 0;
    // The arrow pressed last.
    Step m_step = Step::MinuteUp;
};
