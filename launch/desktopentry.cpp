#include "desktopentry.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace {

// A value of type string: a backslash is written as two, a line break as \n.
QString EscapeString(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c == u'\\')
            out += QLatin1String("\\\\");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else
            out += c;
    }
    return out;
}

QString UnescapeString(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        out += next == u'n'   ? QChar(u'\n')
               : next == u'r' ? QChar(u'\r')
               : next == u't' ? QChar(u'\t')
               : next == u's' ? QChar(u' ')
                              : next;
    }
    return out;
}

// One argument of an Exec line: in double quotes, with `"`, `` ` ``, `$` and `\` escaped by a
// backslash, and `%` doubled, since a lone one is a field code.
QString QuoteArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        if (c == u'%')
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

} // namespace

QString DesktopEntryPath(const QString &profileName)
{
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(profileName.toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/applications/com.velmora.MobileEmulatorLauncher.profile-") + hash +
           QLatin1String(".desktop");
}

QString DesktopEntryText(const QString &launcherPath, const QString &profileName)
{
    // Joined to its option, the name is never read as an option of its own ("-l", "-style").
    const QString exec = QuoteArgument(launcherPath) + QLatin1Char(' ') +
                         QuoteArgument(QLatin1String("--launch=") + profileName);
    // The name says what it starts; TryExec hides the entry once the launcher is gone.
    return QLatin1String("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Version=1.0\n"
                         "Name=") +
           EscapeString(profileName) +
           QLatin1String(" (Velmora Mobile Emulator)\n"
                         "GenericName=Mobile emulator\n"
                         "Comment=Starts the Velmora Mobile Emulator with the profile \"") +
           EscapeString(profileName) +
           QLatin1String("\"\n"
                         "Icon=com.velmora.MobileEmulatorLauncher\n"
                         "TryExec=") +
           EscapeString(launcherPath) + QLatin1String("\nExec=") + EscapeString(exec) +
           QLatin1String("\n"
                         "Terminal=false\n"
                         "Categories=Development;\n"
                         "X-Velmora-Profile=") +
           EscapeString(profileName) + QLatin1Char('\n');
}

bool WriteDesktopEntry(const QString &launcherPath, const QString &profileName, QString *error)
{
    // A control character is no text a menu can show: desktop files may not hold one (a tab is
    // escaped like a line break).
    const bool control = std::any_of(profileName.cbegin(), profileName.cend(), [](QChar c) {
        return c != u'\t' && c.category() == QChar::Other_Control;
    });
    if (control) {
        if (error)
            *error = QCoreApplication::translate(
                "DesktopEntry", "its name holds a control character, which a menu entry cannot "
                                "hold");
        return false;
    }
    const QString path = DesktopEntryPath(profileName);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray bytes = DesktopEntryText(launcherPath, profileName).toUtf8();
    // Unbuffered: a write that fails (a full disk) is seen before the file is put in place.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool HasDesktopEntry(const QString &profileName)
{
    return QFileInfo::exists(DesktopEntryPath(profileName));
}

void RenameDesktopEntry(const QString &launcherPath, const QString &oldName, const QString &newName)
{
    if (!HasDesktopEntry(oldName) || !WriteDesktopEntry(launcherPath, newName))
        return;
    RemoveDesktopEntry(oldName);
}

void RemoveDesktopEntry(const QString &profileName)
{
    QFile::remove(DesktopEntryPath(profileName));
}

QStringList DesktopEntryProfiles()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QLatin1String("/applications");
    QStringList profiles;
    const QStringList entries = QDir(folder).entryList(
        {QStringLiteral("com.velmora.MobileEmulatorLauncher.profile-*.desktop")}, QDir::Files);
    for (const QString &entry : entries) {
        QFile file(folder + QLatin1Char('/') + entry);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // The profile as the entry names it, and only an entry that is ours by its own name.
        const QString text = QString::fromUtf8(file.read(64 * 1024));
        const QLatin1String field("\nX-Velmora-Profile=");
        const qsizetype key = text.indexOf(field);
        if (key < 0)
            continue;
        const qsizetype from = key + field.size();
        const qsizetype end = text.indexOf(QLatin1Char('\n'), from);
        const QString profile = UnescapeString(text.mid(from, end < 0 ? -1 : end - from));
        if (DesktopEntryPath(profile) == file.fileName())
            profiles.append(profile);
    }
    return profiles;
}

QStringList RemoveStaleDesktopEntries(const QStringList &profiles)
{
    const QSet<QString> kept(profiles.cbegin(), profiles.cend());
    QStringList removed;
    for (const QString &profile : DesktopEntryProfiles()) {
        if (!kept.contains(profile) && QFile::remove(DesktopEntryPath(profile)))
            removed.append(profile);
    }
    return removed;
}
