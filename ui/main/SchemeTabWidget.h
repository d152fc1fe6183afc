#pragma once
// Tab pages with flat tabs in the scheme colour and black centred captions while the
// colour scheme is in use; the platform's tabs otherwise.

#include <QTabWidget>

class SchemeTabWidget final : public QTabWidget {
    Q_OBJECT
public:
    explicit SchemeTabWidget(QWidget* parent = nullptr);

protected:
    // With the scheme in use a page is plain scheme colour, as its window, rather than
    // the style's lighter pane.
    void tabInserted(int index) override;
};
