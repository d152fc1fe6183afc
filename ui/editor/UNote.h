#pragma once
// The reminder editor: one window per reminder being created or changed. It is
// filled by its opener from a record, turns its controls back into a record on
// "Ok" and hands that to the data module; it never reads the table itself.

#include "core/Clock.h"
#include "core/Reminder.h"
#include "core/ReminderRepository.h"
#include "i18n/Texts.h"

#include <QIcon>
#include <QWidget>

#include <cstdint>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class QToolButton;

// What an editor needs from the program, given by the window that opens it.
struct EditorContext {
    explicit EditorContext(ReminderRepository& d) : data(d) {}

    ReminderRepository& data;
    const Clock* clock = &systemClock();
    // The texts of the messages the editor shows.
    Texts texts;
    // Writes the whole table file (the main window's SaveCDS); false when that failed.
    std::function<bool()> saveTable;
    // Tells the list that the table changed.
    std::function<void()> tableChanged;
    // Window icons of editors for new reminders and for existing ones.
    QIcon newIcon;
    QIcon editIcon;
};

// Asks the user for a file to open, starting in startFolder with a Qt name filter;
// returns the chosen full path, or an empty text when the user cancelled.
using EditorFileChooser =
    std::function<QString(QWidget* parent, const QString& startFolder, const QString& filter)>;
// Replaces the system's open-file dialog (tests give canned answers); an empty
// chooser puts the system's dialog back.
void SetEditorFileChooser(EditorFileChooser chooser);

class TfNote final : public QWidget {
    Q_OBJECT

public:
    // A top-level window without owner that destroys itself when it closes. The
    // context is copied; its data module must outlive the window.
    explicit TfNote(const EditorContext& ctx);
    ~TfNote() override;

    bool isNew = true;
    std::int32_t NumOfThing = -1;
    QString CaptionNew;
    QString CaptionEdit;
    // How long the current arrow button has been held, in ms (steps of 100).
    std::uint16_t BtCounter = 0;
    // The arrow button pressed last: 1 minute up, 2 minute down, 3 hour up, 4 hour down.
    std::uint16_t btNumber = 0;
    static constexpr int RepeatMs = 100;
    static constexpr int MaxMessageLength = 100;
    static constexpr int MaxPathLength = 511;

    // Opening: mode, caption and icon, then every control from a record.
    void SetNewMode();
    void SetEditMode(std::int32_t N);
    void FillFrom(const Reminder& r);
    // The record the controls describe (D with seconds 0).
    Reminder BuildThing() const;

    // Enabling rules.
    void SetMomentsEnabled();
    void SetDaysEnabled(int K);
    int CheckedRadioMod() const;

    // Commands.
    void btOkClick();
    void btCancelClick();

    // Time buttons and their repeat timer.
    void spbUpMMouseDown(QToolButton* sender);
    void spbUpMMouseUp(QToolButton* sender);
    void Timer1Timer();
    QTimer* Timer1() const { return timer1_; }

    // File buttons.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();

    // Applies the editor section of the language file in use; without language
    // files the built-in English texts set at creation stay.
    void LoadEditorTexts();

    // Controls, named as the window's design names them.
    QFrame* Panel1;
    QLabel* Label8;
    QRadioButton* rbSchedule;
    QGroupBox* GroupBox8;
    QGroupBox* GroupBox2;
    QRadioButton* RadioButton1;
    QGroupBox* GroupBox3;
    QDateEdit* DE;
    QRadioButton* RadioButton2;
    QGroupBox* GroupBox1;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QCheckBox* CheckBox5;
    QCheckBox* CheckBox6;
    QCheckBox* CheckBox7;
    QRadioButton* RadioButton3;
    QGroupBox* GroupBox5;
    QLabel* Label5;
    QSpinBox* seDay;
    QGroupBox* GroupBox4;
    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label2;
    QToolButton* spbUpH;
    QToolButton* spbDwH;
    QToolButton* spbUpM;
    QToolButton* spbDwM;
    QRadioButton* rbAfterStart;
    QGroupBox* GroupBox9;
    QLabel* Label6;
    QSpinBox* seMinutes;
    QLabel* Label7;
    QLabel* Label9;
    QGroupBox* GroupBox10;
    QLabel* Label4;
    QPlainTextEdit* Memo1;
    QCheckBox* chbMessage;
    QCheckBox* chbWithSound;
    QCheckBox* CHBSound;
    QGroupBox* GroupBox6;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QLabel* lbSPath;
    QCheckBox* chbRunProg;
    QGroupBox* GroupBox7;
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton5;
    QLabel* lbPPath;
    QCheckBox* CHBAnimation;
    QCheckBox* chbSpecial;
    QGroupBox* GroupBox11;
    QRadioButton* rbShutdown;
    QRadioButton* rbReboot;
    QPushButton* btOk;
    QPushButton* btCancel;

    // The day boxes, Monday first.
    QCheckBox* DayBox(int i) const { return days_[i]; }
    // The focusable controls in tab order.
    const QList<QWidget*>& TabOrder() const { return tabOrder_; }
    // True once the window has begun closing.
    bool Closing() const { return closing_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void BuildWhen();
    void BuildWhat();
    void SetBuiltInTexts();
    void SetAccessibleNames();
    void WireRules();
    void Step(std::uint16_t number);
    void SetTime(int hour, int minute);
    // The widget Tab reaches after (or before) `from`, skipping what cannot take it.
    QWidget* NextInTabOrder(QWidget* from, bool next) const;
    bool TakesTabFocus(QWidget* w) const;
    // Asks the user for a file and puts its path into a path label, refusing overlong ones.
    void ChoosePath(QLabel* label, const QString& startFolder, const QString& filter);
    void LimitMessage();

    EditorContext ctx_;
    QTimer* timer1_;
    QButtonGroup* momentGroup_;
    QButtonGroup* dayKindGroup_;
    QButtonGroup* powerGroup_;
    QCheckBox* days_[7];
    QList<QWidget*> tabOrder_;
    QList<QWidget*> enterMovesFocus_;
    bool closing_ = false;
};

// The first open editor of reminder N in the application's window order, or null.
// Editors for new reminders are never found.
TfNote* FindEditorForm(std::int32_t N);

// The window half of editing a reminder: brings back the editor already open for
// thing.number (restored when minimized, raised) or opens one in edit mode.
TfNote* OpenEditorForThing(const Reminder& thing, const EditorContext& ctx);
// Reads reminder `number` through the data module and opens its editor as above;
// null when there is no such reminder.
TfNote* DoEditThing(std::int32_t number, const EditorContext& ctx);
// An editor for a new reminder: with the defaults for a new one, or a copy of
// *copyFrom (its number and creation date are not taken over).
TfNote* OpenNewEditor(const EditorContext& ctx, const Reminder* copyFrom = nullptr);
// The record an editor for a new reminder starts from, at the moment now.
Reminder NewThingDefaults(Moment now);
