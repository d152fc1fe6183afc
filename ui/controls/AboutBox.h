#pragma once
// The About box: the product's name, the version it was built from, its licence and
// authors, and a link to the installed user guide. Shown modally; Enter and Esc close it.

#include <QDialog>
#include <memory>

namespace Ui {
class AboutBox;
}

class AboutBox final : public QDialog {
    Q_OBJECT
public:
    // Opens a box owned by `owner`, modal for the whole program; it deletes itself when
    // it closes. Returns the box, which the caller does not own.
    static AboutBox* showFor(QWidget* owner);
    ~AboutBox() override;

    // "Version 0.1", with the commit when the program was built from a checkout.
    static QString versionText();
    // The version alone, with the commit when the build knows it: "0.1 (1a2b3c4)".
    static QString version();

private:
    explicit AboutBox(QWidget* owner);

    std::unique_ptr<Ui::AboutBox> m_ui;
};
