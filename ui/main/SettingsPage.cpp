#include "ui/main/SettingsPage.h"

#include "ui/controls/AboutBox.h"
#include "ui_SettingsPage.h"

#include "core/AppPaths.h"
#include "desktop/PathText.h"
#include "platform/ShellOpen.h"
#include "platform/StartupShortcut.h"
#include "platform/SystemLog.h"
#include "ui/controls/SectionText.h"
#include "ui/dialogs/InfoDialog.h"
#include "ui/dialogs/OpenFileDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSignalBlocker>

namespace {

// One of the program's own files, beside it or where an installation puts them; the
// system's bytes (see desktop/PathText.h).
std::string ownFile(const char* name) {
    return resourcePath(name);
}

} // namespace

SettingsPage::SettingsPage(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::SettingsPage>()) {
    m_ui->setupUi(this);
    // The shortcut buttons are never shown; their enabling still follows the shortcut.
    m_ui->placeShortcutButton->hide();
    m_ui->removeShortcutButton->hide();

    connect(m_ui->showMissedCheck, &QCheckBox::toggled, this,
            &SettingsPage::showMissedAtStartChanged);
    connect(m_ui->showDayCheck, &QCheckBox::toggled, this, &SettingsPage::showDayInTrayChanged);
    const auto language = [this](QRadioButton* radio, LanguageChoice choice) {
        connect(radio, &QRadioButton::toggled, this, [this, choice](bool on) {
            if (on)
                emit languageChanged(choice);
        });
    };
    language(m_ui->englishRadio, LanguageChoice::English);
    language(m_ui->russianRadio, LanguageChoice::Russian);
    language(m_ui->otherRadio, LanguageChoice::Other);
    connect(m_ui->languageFileButton, &QToolButton::clicked, this,
            &SettingsPage::chooseLanguageFile);
    connect(m_ui->helpButton, &QPushButton::clicked, this, &SettingsPage::openHelp);
    connect(m_ui->placeShortcutButton, &QPushButton::clicked, this, [this] {
        // The buttons show what is there afterwards; why a shortcut is missing goes to the
        // log.
        if (const Status placed = m_shortcut->place(); !placed)
            writeToSystemLog(placed.message());
        updateShortcutButtons();
    });
    connect(m_ui->removeShortcutButton, &QPushButton::clicked, this, [this] {
        m_shortcut->remove();
        updateShortcutButtons();
    });
    updateShortcutButtons();
    connect(m_ui->aboutButton, &QPushButton::clicked, this,
            [this] { AboutBox::showFor(window()); });
}

SettingsPage::~SettingsPage() = default;

void SettingsPage::setValues(const ProgramSettings& settings) {
    const QSignalBlocker blockers[] = {
        QSignalBlocker(m_ui->englishRadio), QSignalBlocker(m_ui->russianRadio),
        QSignalBlocker(m_ui->otherRadio), QSignalBlocker(m_ui->showMissedCheck),
        QSignalBlocker(m_ui->showDayCheck)};
    m_ui->englishRadio->setChecked(settings.language == LanguageChoice::English);
    m_ui->russianRadio->setChecked(settings.language == LanguageChoice::Russian);
    m_ui->otherRadio->setChecked(settings.language == LanguageChoice::Other);
    m_ui->languageFileLabel->setText(settings.languageFile);
    m_ui->languageFileLabel->setToolTip(settings.languageFile);
    m_ui->showMissedCheck->setChecked(settings.showMissedAtStart);
    m_ui->showDayCheck->setChecked(settings.showDayInTray);
}

std::string SettingsPage::selectedLanguageFile() const {
    const QString other = m_ui->languageFileLabel->text();
    if (m_ui->englishRadio->isChecked())
        return languageFileFor(LanguageChoice::English, other);
    if (m_ui->russianRadio->isChecked())
        return languageFileFor(LanguageChoice::Russian, other);
    if (m_ui->otherRadio->isChecked())
        return languageFileFor(LanguageChoice::Other, other);
    return {};
}

std::string SettingsPage::languageFileFor(LanguageChoice language, const QString& otherFile) {
    switch (language) {
    case LanguageChoice::English:
        return ownFile(EnglishFileName);
    case LanguageChoice::Russian:
        return ownFile(RussianFileName);
    case LanguageChoice::Other:
        return pathBytes(otherFile);
    }
    return {};
}

void SettingsPage::loadTexts(const LanguageSection<MainLine>& section) {
    // Captions are the accessible names too, as the form gives them.
    const auto caption = [&section](MainLine line, auto* widget) {
        withLine(section, line, [widget](const QString& t) {
            widget->setText(t);
            widget->setAccessibleName(t);
        });
    };
    withLine(section, MainLine::LanguageGroup,
             [this](const QString& t) { m_ui->languageGroup->setTitle(t); });
    caption(MainLine::English, m_ui->englishRadio);
    caption(MainLine::Russian, m_ui->russianRadio);
    caption(MainLine::Other, m_ui->otherRadio);
    withLine(section, MainLine::LanguageFileHint, [this](const QString& t) {
        m_ui->languageFileButton->setToolTip(t);
        m_ui->languageFileButton->setAccessibleName(t);
    });
    caption(MainLine::ShowMissedAtStart, m_ui->showMissedCheck);
    caption(MainLine::About, m_ui->aboutButton);
    caption(MainLine::Help, m_ui->helpButton);
    caption(MainLine::ShowDayInTray, m_ui->showDayCheck);
}

void SettingsPage::setStartupShortcut(StartupShortcut* shortcut) {
    m_shortcut = shortcut;
    updateShortcutButtons();
}

void SettingsPage::updateShortcutButtons() {
    const bool present = m_shortcut != nullptr && m_shortcut->exists();
    m_ui->placeShortcutButton->setEnabled(m_shortcut != nullptr && !present);
    m_ui->removeShortcutButton->setEnabled(present);
}

void SettingsPage::chooseLanguageFile() {
    // The program may end while the dialog is open, destroying this page.
    QPointer<SettingsPage> self(this);
    const QString chosen =
        chooseFileToOpen(window(), pathText(resourceFolder(EnglishFileName)),
                         QStringLiteral("Language Files (*.lng);;All Files (*)"));
    if (!self || chosen.isEmpty())
        return;
    const QString full = QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath());
    // A file that cannot be read would leave every window in English later on.
    if (QFile file(full); !QFileInfo(full).isFile() || !file.open(QIODevice::ReadOnly)) {
        showInfo(QStringLiteral("This language file cannot be read:\n%1").arg(full), window());
        return;
    }
    m_ui->languageFileLabel->setText(full);
    m_ui->languageFileLabel->setToolTip(full);
    emit languageFileChosen(full);
}

void SettingsPage::openHelp() {
    const std::string help = ownFile(HelpFileName);
    if (isRegularFile(help))
        shellOpen(help);
    else
        showInfo(QStringLiteral("Help.htm not found."), window());
}
