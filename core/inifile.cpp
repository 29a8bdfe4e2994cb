#include "core/inifile.h"

#include "core/eightbittext.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>

#include <cctype>

#include <sys/stat.h>

namespace {

// Text written by this programme is UTF-8; older files of this kind hold the Windows code page.
QString decodeText(const QByteArray &bytes)
{
    return EightBitText::decode(bytes);
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

QString unescapedName(const QByteArray &bytes)
{
    const QString text = decodeText(bytes);
    QString name;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            name += QLatin1Char('/');
        } else if (c == QLatin1Char('%') && i + 1 < text.size()) {
            const bool wide = text.at(i + 1) == QLatin1Char('U');
            const int digits = wide ? 4 : 2;
            int code = 0;
            int j = i + (wide ? 2 : 1);
            bool ok = j + digits <= text.size();
            for (int k = 0; ok && k < digits; ++k) {
                const int h = hexValue(text.at(j + k));
                ok = h >= 0;
                code = code * 16 + h;
            }
            if (ok) {
                name += QChar(char16_t(code));
                i = j + digits - 1;
            } else {
                name += c;
            }
        } else {
            name += c;
        }
    }
    return name;
}

// Whether a backslash followed by next (and then afterNext) is an escape that this
// writer, or the toolkit's, makes. Files written by a program hold no other; any other
// backslash was typed by hand.
bool writerEscape(char16_t next, char16_t afterNext)
{
    switch (next) {
    case 'a': case 'b': case 'f': case 'n': case 'r': case 't': case 'v':
    case '"': case '\\': case '0':
        return true;
    case 'x':
        return hexValue(QChar(afterNext)) >= 0;
    default:
        return false;
    }
}

// An unquoted ';' starts a comment only where a typed value would not hold one: at the
// start of the value, after a blank or after a closing quote. Writers quote every value
// holding a ';', so "a=1;b=2" in an address is the address.
bool commentStartsAfter(char16_t prev)
{
    return prev == ' ' || prev == '\t' || prev == '"';
}

// The value after '=' as QSettings reads it: quotes group, backslashes escape, unquoted
// commas make a list (joined back with commas here). A value typed by hand with a
// backslash no writer would make (a path such as C:\Program Files\ or \\server\share)
// keeps every backslash as it stands.
QString unescapedValue(const QByteArray &bytes)
{
    const QString s = decodeText(bytes);
    const int n = s.size();
    auto read = [&](bool literal, bool *handTyped) {
        QStringList parts;
        QString cur;
        int kept = 0; // unquoted trailing blanks are not part of the value
        bool quoted = false;
        bool list = false;
        int i = 0;
        auto skipBlanks = [&] {
            while (i < n && (s.at(i) == QLatin1Char(' ') || s.at(i) == QLatin1Char('\t')))
                ++i;
        };
        skipBlanks();
        while (i < n) {
            const char16_t prev = i > 0 ? s.at(i - 1).unicode() : u' ';
            const QChar c = s.at(i++);
            if (c == QLatin1Char('"')) {
                quoted = !quoted;
                kept = cur.size();
            } else if (c == QLatin1Char('\\') && !literal) {
                if (i >= n || !writerEscape(s.at(i).unicode(), i + 1 < n ? s.at(i + 1).unicode() : 0)) {
                    *handTyped = true;
                    return QString();
                }
                const QChar e = s.at(i++);
                switch (e.unicode()) {
                case 'a': cur += QLatin1Char('\a'); break;
                case 'b': cur += QLatin1Char('\b'); break;
                case 'f': cur += QLatin1Char('\f'); break;
                case 'n': cur += QLatin1Char('\n'); break;
                case 'r': cur += QLatin1Char('\r'); break;
                case 't': cur += QLatin1Char('\t'); break;
                case 'v': cur += QLatin1Char('\v'); break;
                case '"': case '\\': cur += e; break;
                case 'x': {
                    int code = 0, digits = 0;
                    while (i < n && digits < 4 && hexValue(s.at(i)) >= 0) {
                        code = code * 16 + hexValue(s.at(i++));
                        ++digits;
                    }
                    cur += QChar(char16_t(code));
                    break;
                }
                default: { // '0': an octal escape
                    int code = 0, digits = 1;
                    while (i < n && digits < 3 && s.at(i) >= QLatin1Char('0') && s.at(i) <= QLatin1Char('7')) {
                        code = code * 8 + (s.at(i++).unicode() - '0');
                        ++digits;
                    }
                    cur += QChar(char16_t(code));
                    break;
                }
                }
                kept = cur.size();
            } else if (!quoted && c == QLatin1Char(';') && commentStartsAfter(prev)) {
                break;
            } else if (!quoted && c == QLatin1Char(',')) {
                cur.truncate(kept);
                parts << cur;
                cur.clear();
                kept = 0;
                list = true;
                skipBlanks();
            } else if (!quoted && (c == QLatin1Char('\r') || c == QLatin1Char('\n'))) {
                continue;
            } else {
                cur += c;
                // Only the blanks a line is padded with go: a value may end in any other space.
                if (quoted || (c != QLatin1Char(' ') && c != QLatin1Char('\t')))
                    kept = cur.size();
            }
        }
        cur.truncate(kept);
        parts << cur;
        QString value = parts.join(QLatin1Char(','));
        if (!list) {
            if (value.startsWith(QLatin1String("@@")))
                value.remove(0, 1);
            else if (value.startsWith(QLatin1String("@String(")) && value.endsWith(QLatin1Char(')')))
                value = value.mid(8, value.size() - 9);
        }
        return value;
    };
    bool handTyped = false;
    const QString value = read(false, &handTyped);
    return handTyped ? read(true, &handTyped) : value;
}

// Where the line starting at pos ends: at its line break, unless a quote is still open
// there. A backslash never carries a line on: a path typed with a trailing backslash
// must not swallow the setting on the next line.
qsizetype lineEnd(const QByteArray &data, qsizetype pos, bool *openQuote)
{
    bool inValue = false, quoted = false;
    *openQuote = false;
    qsizetype first = pos;
    while (first < data.size() && data.at(first) != '\n' && std::isspace(uchar(data.at(first))))
        ++first;
    // Section names and comments end at the end of their line, whatever they hold.
    if (first < data.size() && (data.at(first) == '[' || data.at(first) == ';' || data.at(first) == '#')) {
        const qsizetype nl = data.indexOf('\n', first);
        return nl < 0 ? data.size() : nl + 1;
    }
    for (qsizetype i = pos; i < data.size(); ++i) {
        const char c = data.at(i);
        if (c == '\n' && !quoted)
            return i + 1;
        if (!inValue) {
            inValue = c == '=';
        } else if (c == '\\') {
            if (i + 1 < data.size()
                && writerEscape(uchar(data.at(i + 1)), i + 2 < data.size() ? uchar(data.at(i + 2)) : 0))
                ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted && (data.at(i - 1) == '=' || commentStartsAfter(uchar(data.at(i - 1))))) {
            const qsizetype nl = data.indexOf('\n', i);
            return nl < 0 ? data.size() : nl + 1;
        }
    }
    *openQuote = quoted;
    return data.size();
}

}

IniFile IniFile::fromBytes(const QByteArray &bytes)
{
    IniFile file;
    file.m_state = State::Ok;
    file.parse(bytes);
    return file;
}

IniFile IniFile::load(const QString &path, qint64 maxBytes)
{
    IniFile file;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return file;
    file.m_state = State::Unreadable;
    if (!info.isFile()) {
        file.m_problem = QStringLiteral("it is not a file");
        return file;
    }
    if (info.size() > maxBytes) {
        file.m_problem = QStringLiteral("it is too large to be a settings file");
        return file;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        file.m_problem = QStringLiteral("it cannot be read (%1)").arg(f.errorString());
        return file;
    }
    const QByteArray bytes = f.read(maxBytes + 1);
    if (bytes.size() > maxBytes) {
        file.m_problem = QStringLiteral("it is too large to be a settings file");
        return file;
    }
    file.m_state = State::Ok;
    file.parse(bytes);
    return file;
}

IniFile IniFile::cached(const QString &path, qint64 maxBytes)
{
    struct Version {
        dev_t device;
        ino_t inode;
        off_t size;
        qint64 changedNs;
        bool operator==(const Version &o) const
        {
            return device == o.device && inode == o.inode && size == o.size && changedNs == o.changedNs;
        }
    };
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return load(path, maxBytes);
    const Version now{st.st_dev, st.st_ino, st.st_size,
                      qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    static QMutex mutex;
    static QHash<QString, QPair<Version, IniFile>> files;
    QMutexLocker lock(&mutex);
    const auto it = files.constFind(path);
    if (it != files.constEnd() && it->first == now)
        return it->second;
    IniFile file = load(path, maxBytes);
    files.insert(path, {now, file});
    return file;
}

void IniFile::parse(const QByteArray &bytes)
{
    linesMoved();
    if (bytes.contains("\r\n"))
        m_eol = "\r\n";
    QString section;
    qsizetype pos = 0;
    int number = 0;
    while (pos < bytes.size()) {
        bool openQuote = false;
        const qsizetype end = lineEnd(bytes, pos, &openQuote);
        Line line;
        line.raw = bytes.mid(pos, end - pos);
        ++number;
        QByteArray text = line.raw;
        if (pos == 0 && text.startsWith("\xEF\xBB\xBF"))
            text.remove(0, 3);
        pos = end;
        const QByteArray trimmed = text.trimmed();
        auto damaged = [&](const QString &why) {
            if (m_state != State::Damaged)
                m_problem = QStringLiteral("line %1 %2").arg(number).arg(why);
            m_state = State::Damaged;
        };
        if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#')) {
            line.section = section;
        } else if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.lastIndexOf(']');
            if (close < 0) {
                damaged(QStringLiteral("opens a section name it does not close"));
                line.section = section;
            } else {
                section = unescapedName(trimmed.mid(1, close - 1));
                line.kind = Line::Section;
                line.section = section;
            }
        } else {
            const qsizetype eq = trimmed.indexOf('=');
            line.section = section;
            if (eq < 0) {
                damaged(QStringLiteral("has no '='"));
            } else if (openQuote) {
                // Anything added after it would become part of its value.
                damaged(QStringLiteral("opens a quote that the file never closes"));
            } else {
                line.kind = Line::Entry;
                line.key = unescapedName(trimmed.left(eq).trimmed());
                line.value = unescapedValue(trimmed.mid(eq + 1));
            }
        }
        m_lines.append(line);
    }
}

int IniFile::lastEntry(const QString &section, const QString &key) const
{
    if (!m_indexed) {
        m_index.clear();
        for (int i = 0; i < m_lines.size(); ++i) {
            const Line &l = m_lines.at(i);
            if (l.kind == Line::Entry)
                m_index.insert({l.section, l.key}, i);
        }
        m_indexed = true;
    }
    return m_index.value({section, key}, -1);
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const int i = lastEntry(section, key);
    if (i < 0)
        return std::nullopt;
    return m_lines.at(i).value;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList keys;
    QSet<QString> seen;
    for (const Line &l : m_lines)
        if (l.kind == Line::Entry && l.section == section && !seen.contains(l.key)) {
            seen.insert(l.key);
            keys << l.key;
        }
    return keys;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    Line entry;
    entry.kind = Line::Entry;
    entry.section = section;
    entry.key = key;
    entry.value = value;
    entry.raw = escapedName(key) + '=' + escapedValue(value) + m_eol;
    const int at = lastEntry(section, key);
    if (at >= 0) {
        if (m_lines.at(at).value == value)
            return;
        m_lines[at] = entry;
        m_changed = true;
        return;
    }
    int after = -1;
    for (int i = 0; i < m_lines.size(); ++i)
        if (m_lines.at(i).kind != Line::Other && m_lines.at(i).section == section)
            after = i;
    auto endLine = [this](int i) {
        if (i < 0 || m_lines[i].raw.endsWith('\n'))
            return;
        // A last line ending in a backslash would carry on into the line added after it.
        if (m_lines[i].raw.endsWith('\\'))
            m_lines[i].raw += m_eol;
        m_lines[i].raw += m_eol;
    };
    if (after >= 0) {
        endLine(after);
        m_lines.insert(after + 1, entry);
        linesMoved();
    } else {
        if (!m_lines.isEmpty()) {
            endLine(int(m_lines.size()) - 1);
            Line blank;
            blank.raw = m_eol;
            m_lines.append(blank);
        }
        Line header;
        header.kind = Line::Section;
        header.section = section;
        header.raw = '[' + escapedName(section) + ']' + m_eol;
        m_lines.append(header);
        m_lines.append(entry);
        linesMoved();
    }
    m_changed = true;
}

void IniFile::removeSection(const QString &section)
{
    if (m_lines.removeIf([&](const Line &l) { return l.section == section; }) > 0) {
        m_changed = true;
        linesMoved();
    }
}

void IniFile::removeKey(const QString &section, const QString &key) { removeKeys(section, {key}); }

void IniFile::removeKeys(const QString &section, const QStringList &keys)
{
    const QSet<QString> gone(keys.cbegin(), keys.cend());
    if (m_lines.removeIf([&](const Line &l) { return l.kind == Line::Entry && l.section == section && gone.contains(l.key); }) > 0) {
        m_changed = true;
        linesMoved();
    }
}

QByteArray IniFile::bytes() const
{
    QByteArray all;
    for (const Line &l : m_lines)
        all += l.raw;
    return all;
}

QByteArray IniFile::escapedName(const QString &name)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (QChar qc : name) {
        const ushort c = qc.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
                   || c == '-' || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += hex[c / 16];
            out += hex[c % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += hex[(c >> shift) & 0xF];
        }
    }
    return out;
}

QByteArray IniFile::escapedValue(const QString &value)
{
    const QString text = value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value;
    QByteArray out;
    bool needsQuotes = false;
    bool escapeHexDigit = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar qc = text.at(i);
        const ushort c = qc.unicode();
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeHexDigit && hexValue(qc) >= 0) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case '\0': out += "\\0"; escapeHexDigit = true; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"': case '\\': out += '\\'; out += char(c); break;
        default:
            if (c <= 0x1F) {
                out += "\\x" + QByteArray::number(c, 16);
                escapeHexDigit = true;
            } else if (qc.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += text.mid(i, 2).toUtf8();
                ++i;
            } else {
                out += QString(qc).toUtf8();
            }
        }
    }
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}
