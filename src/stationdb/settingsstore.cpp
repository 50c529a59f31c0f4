#include "settingsstore.h"

#include "atomicfile.h"
#include "paths.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#ifdef Q_OS_WIN
#include <QSettings>
#else
#include <sys/stat.h>
#endif

namespace {

QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescapeValue(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text[++i];
        switch (next.unicode()) {
        case u'n':
            out += u'\n';
            break;
        case u'r':
            out += u'\r';
            break;
        case u't':
            out += u'\t';
            break;
        default:
            out += next;
        }
    }
    return out;
}

// Names are escaped too, so a "]" or "=" in a name cannot break the file, and a name that
// starts like a section header or a comment is not read back as one. A backslash before
// any other character stands for that character, so earlier versions read "\[" and "\;"
// back as "[" and ";" too.
QString escapeName(const QString &name)
{
    QString out = escapeValue(name);
    out.replace(u'=', QStringLiteral("\\e"));
    out.replace(u']', QStringLiteral("\\c"));
    if (out.startsWith(u'[') || out.startsWith(u';'))
        out.prepend(u'\\');
    return out;
}

QString unescapeName(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            const QChar next = text[++i];
            if (next == u'e')
                out += u'=';
            else if (next == u'c')
                out += u']';
            else if (next == u'n')
                out += u'\n';
            else if (next == u'r')
                out += u'\r';
            else if (next == u't')
                out += u'\t';
            else
                out += next;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// One line of the file. A line the store neither made nor changed is written back with the
// bytes it was read with, so a rewrite keeps comments and whatever a person or another
// program put there, even text that is not UTF-8.
struct IniLine
{
    enum Kind { Other, Section, Entry };
    Kind kind = Other;
    QString name; // of the section, or the key
    QString value;
    QByteArray raw; // as read, without the line end
    bool crlf = false;
    bool made = false; // written from name and value

    bool isBlank() const { return kind == Other && raw.trimmed().isEmpty(); }
};

// The INI file in its own order. Names are looked up without regard to case, through every
// section of the name: a file edited by hand may repeat a section or a key.
class IniDocument
{
public:
    explicit IniDocument(const QByteArray &bytes);

    QByteArray bytes() const;
    bool changed() const { return m_changed; }

    // The first value of the key, in file order.
    QString value(const QString &section, const QString &key) const;
    // Every key's first value, by IndexKey.
    QHash<QString, QString> index() const;
    // Replaces the first value of the key and drops any other copy of it; a new key goes
    // after the last entry of the section, a new section at the end of the file.
    void set(const QString &section, const QString &key, const QString &value);
    void remove(const QString &section, const QString &key);

private:
    IniLine madeLine(
        IniLine::Kind kind, const QString &name = QString(), const QString &value = QString()) const
    {
        IniLine line;
        line.kind = kind;
        line.name = name;
        line.value = value;
        line.crlf = m_crlf;
        line.made = true;
        return line;
    }

    QList<IniLine> m_lines;
    bool m_crlf = false; // the line end of the lines we add: the one the file already uses
    bool m_changed = false;
};

IniDocument::IniDocument(const QByteArray &bytes)
{
    QByteArrayList parts = bytes.split('\n');
    if (parts.last().isEmpty())
        parts.removeLast(); // what follows the last line end
    bool inSection = false;
    for (QByteArray &part : parts) {
        IniLine line;
        if (part.endsWith('\r')) {
            part.chop(1);
            line.crlf = true;
        }
        line.raw = part;
        const QString text = QString::fromUtf8(part);
        if (text.isEmpty() || text.startsWith(u';')) {
            // a blank line or a comment
        } else if (text.startsWith(u'[') && text.endsWith(u']')) {
            line.kind = IniLine::Section;
            line.name = unescapeName(QStringView(text).mid(1, text.size() - 2));
            inSection = true;
        } else if (const qsizetype eq = text.indexOf(u'='); eq >= 0 && inSection) {
            line.kind = IniLine::Entry;
            line.name = unescapeName(QStringView(text).left(eq));
            line.value = unescapeValue(QStringView(text).mid(eq + 1));
        }
        m_lines.append(line);
    }
    m_crlf = !m_lines.isEmpty() && m_lines.first().crlf;
}

QByteArray IniDocument::bytes() const
{
    QByteArray out;
    for (const IniLine &line : m_lines) {
        if (!line.made || line.kind == IniLine::Other)
            out += line.raw;
        else if (line.kind == IniLine::Section)
            out += (u'[' + escapeName(line.name) + u']').toUtf8();
        else
            out += (escapeName(line.name) + u'=' + escapeValue(line.value)).toUtf8();
        out += line.crlf ? "\r\n" : "\n";
    }
    return out;
}

QString IniDocument::value(const QString &section, const QString &key) const
{
    bool inSection = false;
    for (const IniLine &line : m_lines) {
        if (line.kind == IniLine::Section)
            inSection = sameName(line.name, section);
        else if (inSection && line.kind == IniLine::Entry && sameName(line.name, key))
            return line.value;
    }
    return QString();
}

QString IndexKey(const QString &section, const QString &key)
{
    return section.toCaseFolded() + u'\n' + key.toCaseFolded();
}

QHash<QString, QString> IniDocument::index() const
{
    QHash<QString, QString> values;
    QString section;
    bool inSection = false;
    for (const IniLine &line : m_lines) {
        if (line.kind == IniLine::Section) {
            section = line.name;
            inSection = true;
        } else if (inSection && line.kind == IniLine::Entry) {
            const QString key = IndexKey(section, line.name);
            if (!values.contains(key))
                values.insert(key, line.value);
        }
    }
    return values;
}

void IniDocument::set(const QString &section, const QString &key, const QString &value)
{
    qsizetype found = -1;
    QList<qsizetype> copies;
    qsizetype insertAt = -1; // after the last entry, or the header, of the first such section
    bool inSection = false;
    bool inFirst = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const IniLine &line = m_lines.at(i);
        if (line.kind == IniLine::Section) {
            inSection = sameName(line.name, section);
            inFirst = inSection && insertAt < 0;
            if (inFirst)
                insertAt = i + 1;
            continue;
        }
        if (!inSection || line.kind != IniLine::Entry)
            continue;
        if (inFirst)
            insertAt = i + 1;
        if (sameName(line.name, key)) {
            if (found < 0)
                found = i;
            else
                copies.append(i);
        }
    }

    if (found >= 0) {
        IniLine &line = m_lines[found];
        if (line.value != value) {
            line.value = value;
            line.made = true;
            m_changed = true;
        }
        for (auto it = copies.crbegin(); it != copies.crend(); ++it) {
            m_lines.removeAt(*it);
            m_changed = true;
        }
        return;
    }
    m_changed = true;
    if (insertAt >= 0) {
        m_lines.insert(insertAt, madeLine(IniLine::Entry, key, value));
        return;
    }
    // Sections are set apart by a blank line, as the store has always written them.
    if (!m_lines.isEmpty() && !m_lines.last().isBlank())
        m_lines.append(madeLine(IniLine::Other));
    m_lines.append(madeLine(IniLine::Section, section));
    m_lines.append(madeLine(IniLine::Entry, key, value));
}

void IniDocument::remove(const QString &section, const QString &key)
{
    QList<qsizetype> emptied; // headers of the sections that lost an entry
    bool inSection = false;
    qsizetype header = -1;
    for (qsizetype i = 0; i < m_lines.size();) {
        const IniLine &line = m_lines.at(i);
        if (line.kind == IniLine::Section) {
            inSection = sameName(line.name, section);
            header = i++;
            continue;
        }
        if (inSection && line.kind == IniLine::Entry && sameName(line.name, key)) {
            m_lines.removeAt(i);
            m_changed = true;
            if (emptied.isEmpty() || emptied.last() != header)
                emptied.append(header);
            continue;
        }
        ++i;
    }
    // A section left with nothing but blank lines goes as well: the store never wrote an
    // empty one. A comment keeps its section.
    for (auto it = emptied.crbegin(); it != emptied.crend(); ++it) {
        qsizetype end = *it + 1;
        while (end < m_lines.size() && m_lines.at(end).isBlank())
            ++end;
        if (end == m_lines.size() || m_lines.at(end).kind == IniLine::Section)
            m_lines.remove(*it, end - *it);
    }
}

constexpr qsizetype MaxStoreBytes = 1024 * 1024;

// A missing file is an empty store. Anything else at the path has to be read to be used:
// a folder, a pipe or a file without read permission is an error, never an empty store.
Result<QByteArray> readStoreFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QByteArray();
    // The program's own store holds a few kilobytes; one of many megabytes is damaged or not
    // ours, and reading it at every value would stall the program for minutes.
    Result<QByteArray> bytes = ReadFileHead(path, MaxStoreBytes + 1);
    if (bytes && bytes->size() > MaxStoreBytes)
        return Status::Error(FileError(path, QStringLiteral("larger than 1 MB")));
    return bytes;
}

// What tells whether a file is still the one read: a rename, a write or a change of its
// permissions changes it. Empty for a missing file or anything but a regular file.
QByteArray fileIdentity(const QString &path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.isFile())
        return QByteArray();
    return QByteArray::number(info.size()) + ' '
        + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + ' '
        + QByteArray::number(info.metadataChangeTime().toMSecsSinceEpoch());
#else
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return QByteArray();
    QByteArray identity;
    for (const qint64 part : { qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size),
             qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec), qint64(st.st_ctim.tv_sec),
             qint64(st.st_ctim.tv_nsec), qint64(st.st_mode) })
        identity += QByteArray::number(part) + ' ';
    return identity;
#endif
}

Status writeStoreFile(const QString &path, const QByteArray &bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return Status::Error(FileError(folder, QStringLiteral("cannot create the folder")));
    // The file holds the QRZ password: one that others may read or write becomes the
    // owner's alone before anything new goes into it (a new file is made owner-only).
    // A file the operator made read-only is left exactly as it is, its mode too.
    if (Status writable = CheckWritable(path); !writable)
        return writable;
#ifdef Q_OS_WIN
    constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther
        | QFileDevice::ExeOther;
    const QFileDevice::Permissions permissions = QFile::permissions(path);
    if (permissions & others)
        QFile::setPermissions(path, permissions & ~others);
#else
    // The mode bits themselves: Qt's permission flags mix in what this user may do, and
    // would give the owner a write permission the file did not have.
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) == 0 && (info.st_mode & 077))
        ::chmod(name.constData(), info.st_mode & 07700);
#endif
    return WriteFileAtomically(path, bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

#ifdef Q_OS_WIN
QString registryPath(const QString &application)
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\")
        + application;
}

QString registryError(const QString &application)
{
    return FileError(registryPath(application), QStringLiteral("cannot access the registry"));
}
#endif

} // namespace

struct SettingsStore::Cache
{
    QString path;
    QByteArray identity;
    QHash<QString, QString> values;
};

SettingsStore::SettingsStore(const Paths &paths)
    : m_paths(paths)
{
}

bool SettingsStore::useRegistry() const
{
#ifdef Q_OS_WIN
    return !m_paths.isPortable();
#else
    return false;
#endif
}

QString SettingsStore::fileOf(const QString &application) const
{
    return m_paths.settingsFile(application);
}

QString SettingsStore::readOnlyFile(const QString &application) const
{
    if (useRegistry())
        return QString();
    const QString path = fileOf(application);
    // One that cannot be read is told as such; a missing one is made at the first change.
    if (!QFileInfo::exists(path) || !readStoreFile(path) || CheckWritable(path))
        return QString();
    return path;
}

Result<QString> SettingsStore::ReadSetting(
    const QString &application, const QString &section, const QString &key) const
{
#ifdef Q_OS_WIN
    if (useRegistry()) {
        QSettings reg(registryPath(application), QSettings::NativeFormat);
        const QString value = reg.value(section + u'/' + key).toString();
        if (reg.status() != QSettings::NoError)
            return Status::Error(registryError(application));
        return value;
    }
#endif
    // Values are read when they are needed, so a change made meanwhile (by hand, by another
    // program) is seen; the parsed file is kept only as long as the file is the same, so a
    // large store is not read again for every value.
    const QString path = fileOf(application);
    const QByteArray identity = fileIdentity(path);
    if (!identity.isEmpty() && m_cache && m_cache->path == path && m_cache->identity == identity)
        return m_cache->values.value(IndexKey(section, key));
    const Result<QByteArray> bytes = readStoreFile(path);
    if (!bytes)
        return bytes.status();
    const IniDocument document(*bytes);
    if (!identity.isEmpty() && fileIdentity(path) == identity)
        m_cache = std::make_shared<Cache>(Cache { path, identity, document.index() });
    return document.value(section, key);
}

Status SettingsStore::SaveSettings(const QString &application, const QList<SettingChange> &changes)
{
#ifdef Q_OS_WIN
    if (useRegistry()) {
        // The registry has no batches: each value is written on its own.
        QSettings reg(registryPath(application), QSettings::NativeFormat);
        for (const SettingChange &change : changes) {
            if (change.remove)
                reg.remove(change.section + u'/' + change.key);
            else
                reg.setValue(change.section + u'/' + change.key, change.value);
        }
        reg.sync();
        if (reg.status() != QSettings::NoError)
            return Status::Error(registryError(application));
        return Status::Ok();
    }
#endif
    const QString path = fileOf(application);
    const Result<QByteArray> current = readStoreFile(path);
    if (!current)
        return current.status();
    IniDocument file(*current);
    for (const SettingChange &change : changes) {
        if (change.remove)
            file.remove(change.section, change.key);
        else
            file.set(change.section, change.key, change.value);
    }
    if (!file.changed())
        return Status::Ok();
    return writeStoreFile(path, file.bytes());
}

QString SettingsStore::GetSetting(
    const QString &application, const QString &section, const QString &key) const
{
    const Result<QString> value = ReadSetting(application, section, key);
    return value ? *value : QString();
}

Status SettingsStore::SaveSetting(
    const QString &application, const QString &section, const QString &key, const QString &value)
{
    return SaveSettings(application, { SettingChange::Set(section, key, value) });
}

Status SettingsStore::DeleteSetting(
    const QString &application, const QString &section, const QString &key)
{
    return SaveSettings(application, { SettingChange::Delete(section, key) });
}
