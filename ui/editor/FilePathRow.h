#pragma once
// A chosen file with its buttons: "..." picks the file with the system's open-file
// dialog, a test button tries it and, for sounds, a stop button ends the test. The
// path label shows what fits of the full path and cuts the rest at its right edge; it
// never widens the window. What "test" and "stop" do is up to the owner.

#include <QList>
#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;

class FilePathRow final : public QWidget {
    Q_OBJECT

public:
    // The longest path a reminder can hold, in characters.
    static constexpr int MaxPathLength = 511;

    explicit FilePathRow(QWidget* parent = nullptr);
    ~FilePathRow() override;

    QString path() const;
    void setPath(const QString& path);

    // The dialog's name filter, and the folder it starts in (asked at every choice).
    void setFilter(const QString& filter);
    void setStartFolder(std::function<QString()> folder);
    // Only the sound row has a stop button.
    void setStopButtonVisible(bool visible);
    // The hints (tooltips and accessible names) of the three buttons.
    void setChooseHint(const QString& hint);
    void setTestHint(const QString& hint);
    void setStopHint(const QString& hint);
    // Tells assistive technology what the path is for.
    void setPathDescription(const QString& description);
    // "...", where the row is pointed at when its file is refused.
    QWidget* chooseButton() const;
    // The row's buttons in the order Tab reaches them: "...", test and, when shown, stop.
    QList<QWidget*> tabStops() const;

signals:
    void testClicked(const QString& path);
    void stopClicked();

private:
    QToolButton* makeButton(const char* name, const QString& hint);
    static void setHint(QToolButton* button, const QString& hint);
    void choose();

    QToolButton* m_chooseButton;
    QToolButton* m_testButton;
    QToolButton* m_stopButton;
    QLabel* m_pathLabel;
    QString m_filter;
    std::function<QString()> m_startFolder;
};
