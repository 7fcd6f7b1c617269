#include "desktopentry.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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
    return QLatin1String("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Version=1.0\n"
                         "Name=") +
           EscapeString(profileName) +
           QLatin1String("\n"
                         "Comment=Velmora Mobile Emulator profile\n"
                         "Icon=com.velmora.MobileEmulatorLauncher\n"
                         "Exec=") +
           EscapeString(exec) +
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
