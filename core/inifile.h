#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// An INI file in the layout QSettings reads and writes (percent-escaped section and
// key names, quoted and escaped values), held as its own bytes. Whether it is damaged
// is decided from those bytes; a change rewrites only the lines of the keys it sets,
// so every other byte, text in another encoding included, is written back as read.
class IniFile
{
public:
    enum class State { Missing, Ok, Damaged, Unreadable };

    // Reads the file at path; one larger than maxBytes, or one that is not a plain
    // file (a folder, a pipe), is Unreadable and not read at all.
    static IniFile load(const QString &path, qint64 maxBytes);
    static IniFile fromBytes(const QByteArray &bytes);
    // The same, parsed once for each version of the file on disk (its identity, size
    // and time of change): reads of an unchanged file cost no parse.
    static IniFile cached(const QString &path, qint64 maxBytes);

    State state() const { return m_state; }
    // Why the file is damaged or unreadable, in words for the user.
    QString problem() const { return m_problem; }

    std::optional<QString> value(const QString &section, const QString &key) const;
    QStringList keys(const QString &section) const;
    // Leaves the bytes alone when the key already holds this value.
    void setValue(const QString &section, const QString &key, const QString &value);
    void removeSection(const QString &section);
    void removeKey(const QString &section, const QString &key);
    // The same for many keys, in one pass over the file.
    void removeKeys(const QString &section, const QStringList &keys);

    QByteArray bytes() const;
    bool changed() const { return m_changed; }

    // The file's text for a name and a value, as QSettings writes them.
    static QByteArray escapedName(const QString &name);
    static QByteArray escapedValue(const QString &value);

private:
    struct Line {
        QByteArray raw;      // the line's bytes, continuation lines and end of line included
        enum Kind { Other, Section, Entry } kind = Other;
        QString section;     // the section the line is in (or names, for a header)
        QString key;
        QString value;
    };
    void parse(const QByteArray &bytes);
    int lastEntry(const QString &section, const QString &key) const;
    void linesMoved() { m_indexed = false; }

    QList<Line> m_lines;
    QByteArray m_eol = "\n";
    State m_state = State::Missing;
    QString m_problem;
    bool m_changed = false;
    // Where each key's last entry is: a file of many keys is looked up without reading
    // it through for every key. Built when first asked, again after lines moved.
    mutable QHash<std::pair<QString, QString>, int> m_index;
    mutable bool m_indexed = false;
};
