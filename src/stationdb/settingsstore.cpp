#include "settingsstore.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace {

// The INI file as an ordered list of sections, each an ordered list of key/value pairs.
// Names keep the case they were first written in; lookups ignore case.
struct IniEntry
{
    QString key;
    QString value;
};
struct IniSection
{
    QString name;
    QList<IniEntry> entries;
};
using IniFile = QList<IniSection>;

QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default: out += c;
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
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        default: out += next;
        }
    }
    return out;
}

// Names are escaped too, so a "]" or "=" in a key cannot break the file.
QString escapeName(const QString &name)
{
    QString out = escapeValue(name);
    out.replace(u'=', QStringLiteral("\\e"));
    out.replace(u']', QStringLiteral("\\c"));
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

IniFile parse(const QByteArray &bytes)
{
    IniFile file;
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    IniSection *current = nullptr;
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            file.append({ unescapeName(QStringView(line).mid(1, line.size() - 2)), {} });
            current = &file.last();
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || !current)
            continue;
        current->entries.append(
            { unescapeName(QStringView(line).left(eq)), unescapeValue(QStringView(line).mid(eq + 1)) });
    }
    return file;
}

QByteArray serialize(const IniFile &file)
{
    QString text;
    for (const IniSection &section : file) {
        if (section.entries.isEmpty())
            continue;
        text += u'[' + escapeName(section.name) + QStringLiteral("]\n");
        for (const IniEntry &entry : section.entries)
            text += escapeName(entry.key) + u'=' + escapeValue(entry.value) + u'\n';
        text += u'\n';
    }
    return text.toUtf8();
}

IniSection *findSection(IniFile &file, const QString &name)
{
    for (IniSection &s : file) {
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

bool readIni(const QString &path, IniFile &out, QString &error)
{
    QFile f(path);
    if (!f.exists()) {
        out.clear();
        return true;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        error = f.errorString();
        return false;
    }
    out = parse(f.readAll());
    return true;
}

bool writeIni(const QString &path, const IniFile &content, QString &error)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        error = QStringLiteral("cannot create %1").arg(info.absolutePath());
        return false;
    }
    constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!info.exists()) {
        // Create it owner-only first: the atomic save below keeps an existing file's
        // permissions, so the password never sits in a file others can read.
        QFile first(path);
        if (!first.open(QIODevice::WriteOnly)) {
            error = first.errorString();
            return false;
        }
        first.close();
        first.setPermissions(ownerOnly);
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        error = f.errorString();
        return false;
    }
    const QByteArray bytes = serialize(content);
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        error = f.errorString();
        return false;
    }
    QFile::setPermissions(path, ownerOnly);
    return true;
}

#ifdef Q_OS_WIN
QString registryPath(const QString &application)
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\")
        + application;
}
#endif

} // namespace

SettingsStore::SettingsStore(const Paths &paths) : m_paths(paths) { }

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

QString SettingsStore::GetSetting(const QString &application, const QString &section,
                                  const QString &key) const
{
#ifdef Q_OS_WIN
    if (useRegistry()) {
        QSettings reg(registryPath(application), QSettings::NativeFormat);
        return reg.value(section + u'/' + key).toString();
    }
#endif
    IniFile file;
    if (!readIni(fileOf(application), file, m_lastError))
        return QString();
    IniSection *s = findSection(file, section);
    if (!s)
        return QString();
    for (const IniEntry &e : s->entries) {
        if (e.key.compare(key, Qt::CaseInsensitive) == 0)
            return e.value;
    }
    return QString();
}

bool SettingsStore::SaveSetting(const QString &application, const QString &section,
                                const QString &key, const QString &value)
{
#ifdef Q_OS_WIN
    if (useRegistry()) {
        QSettings reg(registryPath(application), QSettings::NativeFormat);
        reg.setValue(section + u'/' + key, value);
        reg.sync();
        return reg.status() == QSettings::NoError;
    }
#endif
    const QString path = fileOf(application);
    IniFile file;
    if (!readIni(path, file, m_lastError))
        return false;
    IniSection *s = findSection(file, section);
    if (!s) {
        file.append({ section, {} });
        s = &file.last();
    }
    bool replaced = false;
    for (IniEntry &e : s->entries) {
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
            e.value = value;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        s->entries.append({ key, value });
    return writeIni(path, file, m_lastError);
}

bool SettingsStore::DeleteSetting(const QString &application, const QString &section,
                                  const QString &key)
{
#ifdef Q_OS_WIN
    if (useRegistry()) {
        QSettings reg(registryPath(application), QSettings::NativeFormat);
        reg.remove(section + u'/' + key);
        return true;
    }
#endif
    const QString path = fileOf(application);
    IniFile file;
    if (!readIni(path, file, m_lastError))
        return false;
    IniSection *s = findSection(file, section);
    if (!s)
        return true;
    const qsizetype before = s->entries.size();
    s->entries.removeIf(
        [&key](const IniEntry &e) { return e.key.compare(key, Qt::CaseInsensitive) == 0; });
    if (s->entries.size() == before)
        return true;
    return writeIni(path, file, m_lastError);
}
