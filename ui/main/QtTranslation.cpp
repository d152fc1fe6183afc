#include "ui/main/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QtTranslation::QtTranslation() = default;

QtTranslation::~QtTranslation() {
    use({});
}

void QtTranslation::use(const QString& language) {
    if (language == m_language)
        return;
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
    m_translator.reset();
    m_language.clear();
    if (language.isEmpty())
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + language,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    m_translator = std::move(translator);
    m_language = language;
}
