#include "ui/main/SettingsPage.h"

#include "ui/controls/AboutBox.h"
#include "ui_SettingsPage.h"

#include <QSignalBlocker>

SettingsPage::SettingsPage(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::SettingsPage>()) {
    m_ui->setupUi(this);
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
    m_ui->showMissedCheck->setChecked(settings.ShowMissedAtStart);
    m_ui->showDayCheck->setChecked(settings.ShowDayInTray);
}
