#pragma once
// Qt's own texts (the file dialog, the context menus of text boxes) in the program's language:
// Qt's translation is installed while the program speaks a language other than English and
// removed again for English. The program's own texts never come from it.

#include <QString>
#include <memory>

class QTranslator;

class QtTranslation final {
public:
    QtTranslation();
    ~QtTranslation();
    QtTranslation(const QtTranslation&) = delete;
    QtTranslation& operator=(const QtTranslation&) = delete;

    // Qt's texts in `language` ("ru"); Qt's built-in English for an empty one, or when Qt's
    // translation for it cannot be loaded. Windows open later, and menus built later, show it.
    void use(const QString& language);
    // The language Qt's texts are in; empty for English.
    QString language() const { return m_language; }

private:
    std::unique_ptr<QTranslator> m_translator;
    QString m_language;
};
