#include "ui/controls/AboutBox.h"

#include "core/AppPaths.h"
#include "desktop/PathText.h"
#include "ui/controls/BuildVersion.h"
#include "ui/controls/ColorScheme.h"
#include "ui_AboutBox.h"

AboutBox::AboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::AboutBox>()) {
    setFont(ColorScheme::font());
    m_ui->setupUi(this);
    ColorScheme::applyColorScheme(this);

    QFont productFont = ColorScheme::font(ColorScheme::DefaultPixelSize * 2);
    productFont.setBold(true);
    m_ui->productLabel->setFont(productFont);
    m_ui->versionLabel->setText(versionText());
    // The program's own user guide, until the product has a public site. Its path is as long
    // as the folder the program is installed in, so no address limit applies to it.
    m_ui->helpLink->setUrlType(LinkLabel::UrlType::File);
    m_ui->helpLink->setLengthLimited(false);
    m_ui->helpLink->setText(pathText(resourcePath("Help.htm")));
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

AboutBox::~AboutBox() = default;

AboutBox* AboutBox::showFor(QWidget* owner) {
    // Not exec(): no nested event loop that the owner could be destroyed under.
    auto* box = new AboutBox(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
    // Enter and Esc go to the box at once.
    box->activateWindow();
    return box;
}

QString AboutBox::versionText() {
    return QStringLiteral("Version %1").arg(version());
}

QString AboutBox::version() {
    const QString version = QStringLiteral(CHIMEWELL_VERSION);
    const QString commit = QStringLiteral(CHIMEWELL_COMMIT);
    return commit.isEmpty() ? version : QStringLiteral("%1 (%2)").arg(version, commit);
}
