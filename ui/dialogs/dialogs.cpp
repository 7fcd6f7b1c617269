#include "dialogs.h"

#include <QLocale>

#include "launcherconfig.h"

#include <QApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

#include <limits>

namespace {
// What a title bar spends besides the title: the window menu and the buttons on the right.
constexpr int TitleBarExtras = 160;
} // namespace

void FitTitle(QWidget *dialog)
{
    const int width =
        dialog->fontMetrics().horizontalAdvance(dialog->windowTitle()) + TitleBarExtras;
    // A message box sizes itself from its layout when it is shown, so the width goes in there.
    if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout());
        grid && qobject_cast<QMessageBox *>(dialog)) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
        return;
    }
    dialog->setMinimumWidth(qMax(dialog->minimumWidth(), width));
}

QMessageBox::StandardButton ShowMessage(QWidget *parent, QMessageBox::Icon icon,
                                        const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        const QString &details)
{
    QMessageBox box(icon, title, text, buttons, parent);
    if (!details.isEmpty())
        box.setInformativeText(details);
    FitTitle(&box);
    if (box.exec() == -1)
        return QMessageBox::Cancel;
    return box.standardButton(box.clickedButton());
}

QString AskText(QWidget *parent, const QString &title, const QString &label, const QString &text,
                bool *ok)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setInputMode(QInputDialog::TextInput);
    // The line's default limit of 32,767 characters would cut a long name without a word;
    // lifted before the text goes in.
    if (auto *line = dialog.findChild<QLineEdit *>())
        line->setMaxLength(std::numeric_limits<int>::max());
    dialog.setTextValue(text);
    FitTitle(&dialog);
    *ok = dialog.exec() == QDialog::Accepted;
    return *ok ? dialog.textValue() : QString();
}

QString AskProfileName(QWidget *parent, const QString &title, const QString &label, QString text)
{
    for (;;) {
        bool ok = false;
        const QString name = AskText(parent, title, label, text, &ok);
        if (!ok || name.isEmpty())
            return QString();
        QString problem;
        // Either would end the name early in Launcher.ini or on the command line.
        if (name.contains(QLatin1Char('"')))
            problem = QCoreApplication::translate("ProfileName",
                                                  "A profile name cannot contain a double quote.");
        else if (ContainsLineBreak(name))
            problem = QCoreApplication::translate("ProfileName",
                                                  "A profile name cannot contain a line break.");
        // A TAB would cut the name in two where it is printed in columns (--running), and an
        // escape or the like shows as nothing.
        else if (ContainsControlCharacter(name))
            problem = QCoreApplication::translate(
                "ProfileName", "A profile name cannot contain a control character, such as a tab.");
        if (problem.isEmpty())
            return name;
        ShowMessage(parent, QMessageBox::Warning, title, problem);
        text = name;
    }
}

bool ConfirmLargerThanScreen(QWidget *parent, int width, int height)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return true;
    const QRect geometry = screen->geometry();
    if (width <= geometry.width() && height <= geometry.height())
        return true;
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(
        QCoreApplication::translate("Dialogs", "Resolution bigger than the current screen size!"));
    box.setText(QCoreApplication::translate("Dialogs",
                                            "You are trying to add: %1x%2\nbut the current "
                                            "screen resolution is: %3x%4\n\nAre you sure ?")
                    .arg(width)
                    .arg(height)
                    .arg(geometry.width())
                    .arg(geometry.height()));
    QPushButton *yes =
        box.addButton(QCoreApplication::translate("Dialogs", "Yes"), QMessageBox::AcceptRole);
    box.addButton(QCoreApplication::translate("Dialogs", "No"), QMessageBox::RejectRole);
    FitTitle(&box);
    box.exec();
    return box.clickedButton() == yes;
}

QString ListedNames(const QStringList &names)
{
    constexpr qsizetype listed = 15;
    QString text;
    for (const QString &name : names.first(qMin(names.size(), listed)))
        text += ShownName(name) + QLatin1Char('\n');
    if (names.size() > listed)
        text += QCoreApplication::translate("MainWindow", "… and %n more profiles.", nullptr,
                                            int(names.size() - listed)) +
                QLatin1Char('\n');
    return text;
}

bool ConfirmOptionRemoval(QWidget *parent, const QString &title, const QStringList &users)
{
    const QString text =
        QCoreApplication::translate(
            "MainWindow",
            "The following profiles use this option, are you sure you want to continue?\n\n") +
        ListedNames(users);
    return ShowMessage(parent, QMessageBox::Warning, title, text,
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString ShownTime(const QDateTime &time)
{
    QString format = QLocale().dateTimeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1Char('s'))) {
        const qsizetype minutes = format.lastIndexOf(QLatin1String("mm"));
        if (minutes >= 0)
            format.insert(minutes + 2, QLatin1String(":ss"));
    }
    return QLocale().toString(time, format);
}

void ShowLaunchFailure(const QStringList &profiles, const QString &reason)
{
    QStringList names;
    for (const QString &profile : profiles)
        names.append(QCoreApplication::translate("Dialogs", "\"%1\"").arg(ShownName(profile, 200)));
    ShowMessage(nullptr, QMessageBox::Critical,
                QCoreApplication::translate("Dialogs", "Velmora Mobile Emulator Launcher"),
                QCoreApplication::translate("Dialogs", "The emulator for %1 could not be started.")
                    .arg(names.join(QStringLiteral(", "))),
                QMessageBox::Ok, reason.trimmed());
}
