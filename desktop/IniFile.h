#pragma once
// A small INI profile file: section and key names match without regard to case,
// writing a key replaces its value in place or appends it to its section, and
// everything else in the file (comments, unknown keys, order) is kept as it was.

#include "core/Status.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <string>

class IniFile final {
public:
    // path is the system's bytes (see desktop/PathText.h).
    explicit IniFile(std::string path);

    // Reads the whole file. A missing file is an empty profile and counts as
    // success; a file that exists but cannot be read, or is not UTF-8 text (a UTF-16
    // byte-order mark, a NUL byte), gives false, leaves the profile empty and makes
    // save() refuse, so that it is never overwritten.
    bool load();
    const std::string& path() const { return path_; }
    const QString& loadError() const { return loadError_; }

    // Values are read with the blanks around them removed and one pair of
    // enclosing double quotes taken off. The first matching section and the
    // first matching key in it count.
    bool hasKey(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal with an optional sign, or hexadecimal after "0x" or "$" (32 bits,
    // wrapping as a signed value); anything else gives def.
    int readInteger(const QString& section, const QString& key, int def) const;
    // Read as an integer with the default 1 or 0; any value but 0 is true.
    bool readBool(const QString& section, const QString& key, bool def) const;

    // Line breaks in a value become blanks; a value with blanks at either end
    // (or already enclosed in quotes) is written in double quotes so that it
    // reads back unchanged. Section names must not hold ']', keys not '='.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    // Writes the whole profile as UTF-8 through a temporary file in the same
    // folder renamed over the file, so a failure leaves the old file whole. A failure
    // says "Unable to write to <path>", with the file system's reason.
    Status save() const;

    // The bytes save() would write: lines the program did not change as they were read,
    // the others as UTF-8.
    QByteArray bytes() const;

    // Parses an integer value as readInteger does.
    static bool parseInteger(const QString& text, int* value);

private:
    int findSection(const QString& section) const;
    // Index of the key's line in the section starting at header line sectionLine.
    int findKey(int sectionLine, const QString& key) const;
    int sectionEnd(int sectionLine) const;

    std::string path_;
    QString loadError_;
    QStringList lines_;
    // Each line's bytes as read, its end included; null for a line the program wrote.
    QList<QByteArray> raw_;
    bool bom_ = false;
    bool crlf_;
    bool unreadable_ = false;
};
