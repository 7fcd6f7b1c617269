#include "profilelistactions.h"

#include "extrasactions.h"
#include "listorder.h"

#include "commandline.h"
#include "configmessages.h"
#include "devicecatalogue.h"
#include "devicedialog.h"
#include "dialogs.h"
#include "documentview.h"
#include "emulatorcontrol.h"
#include "exchangedialogs.h"
#include "historyactions.h"
#include "profilecompanions.h"
#include "profiledocument.h"
#include "profileqlistwidget.h"
#include "runningemulatorsview.h"
#include "windowmemory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include <optional>
#include <utility>

ProfileListActions::ProfileListActions(QWidget *w, ProfileDocument *d,
                                       ProfileQListWidget *profileList, QPushButton *launchButton,
                                       QLineEdit *filterEdit, const Emulators &emulators,
                                       std::function<SplitCommand()> launchCommand)
    : QObject(w), window(w), document(d), control(emulators.control),
      companions(emulators.companions), command(std::move(launchCommand)), list(profileList),
      filter(filterEdit)
{
    // Under a filter that hides the current profile, the keys act on no row.
    const auto onShownRow = [this](void (ProfileListActions::*signal)()) {
        return [this, signal] {
            if (list->CurrentRowShown())
                emit(this->*signal)();
        };
    };
    // Shortcuts that work while the list has the focus; the same actions fill the menus.
    const auto add = [this](const QString &text, auto *receiver, auto slot,
                            const QKeySequence &key = QKeySequence()) {
        auto *action = new QAction(text, this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, receiver, slot);
        list->addAction(action);
        return action;
    };
    launchAction = add(tr("&Launch"), this, onShownRow(&ProfileListActions::launchRequested));
    extras = new ExtrasActions(window, document, list, control, companions->Extras());
    order = new ListOrder(window, document, list, companions);
    duplicateAction = add(tr("&Duplicate…"), this, &ProfileListActions::OnDuplicateProfile);
    renameAction = add(
        tr("&Rename…"), this,
        [this] {
            if (list->CurrentRowShown())
                OnRenameProfile();
        },
        QKeySequence(Qt::Key_F2));
    removeAction = add(tr("Re&move"), this, onShownRow(&ProfileListActions::removeRequested),
                       QKeySequence::Delete);
    copyCommandAction = add(tr("&Copy Command Line"), this, &ProfileListActions::OnCopyCommandLine);
    deviceAction =
        add(tr("&New Profile from Device…"), this, &ProfileListActions::OnNewProfileFromDevice);
    history = new HistoryActions(window, document, list);
    exchange = new ExchangeDialogs(window, document, list, companions->Extras());
    exportAction = add(tr("E&xport Profiles…"), exchange, &ExchangeDialogs::OnExportProfiles);
    importAction = add(tr("&Import Profiles…"), exchange, &ExchangeDialogs::OnImportProfiles);
    menuEntryAction =
        add(tr("&Add to Applications Menu"), this, &ProfileListActions::OnAddToApplicationsMenu);
    removeMenuEntryAction = add(tr("Remove &from Applications Menu"), this,
                                &ProfileListActions::OnRemoveFromApplicationsMenu);
    stopAction = add(tr("&Stop"), control, &EmulatorControl::StopSelected);
    stopAllAction = add(tr("S&top All Emulators"), control, &EmulatorControl::StopAll);
    showLogAction = add(tr("Show Lo&g"), control, &EmulatorControl::ShowLog);
    runningAction = new QAction(tr("Running &Emulators…"), this);
    runningAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    runningAction->setShortcutContext(Qt::WindowShortcut);
    window->addAction(runningAction);
    connect(runningAction, &QAction::triggered, control, &EmulatorControl::OpenRunningPanel);
    stopAction->setEnabled(false);
    stopAllAction->setEnabled(false);
    // Enter on the list and a double click (whose first click selected the row) launch.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *enter = new QShortcut(QKeySequence(key), list, nullptr, nullptr, Qt::WidgetShortcut);
        connect(enter, &QShortcut::activated, this,
                onShownRow(&ProfileListActions::launchRequested));
    }
    // Alt+Up and Alt+Down move the selected profile; so does dragging its row.
    for (const auto &[key, step] : {std::pair{Qt::Key_Up, -1}, std::pair{Qt::Key_Down, 1}}) {
        auto *move =
            new QShortcut(QKeySequence(Qt::ALT | key), list, nullptr, nullptr, Qt::WidgetShortcut);
        connect(move, &QShortcut::activated, this, [this, step = step] { MoveCurrent(step); });
    }
    connect(list, &ProfileQListWidget::moveRequested, this, &ProfileListActions::MoveProfile);

    // The filter: Ctrl+F reaches it from anywhere in the window, Escape clears it and returns
    // to the list.
    connect(filter, &QLineEdit::textChanged, list, &ProfileQListWidget::SetFilter);
    filter->setToolTip(
        tr("Shows the profiles whose name, options, arguments or notes contain the text, or "
           "that have it in a tag, ignoring case; \"tag:\" before the start of a tag finds only "
           "the profiles with such a tag. Those found by anything but their name are in italics; "
           "Down goes to "
           "the first one found by its name."));
    auto *find = new QShortcut(QKeySequence::Find, window);
    connect(find, &QShortcut::activated, this, [this] {
        filter->setFocus(Qt::ShortcutFocusReason);
        filter->selectAll();
    });
    auto *escape =
        new QShortcut(QKeySequence(Qt::Key_Escape), filter, nullptr, nullptr, Qt::WidgetShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        filter->clear();
        list->setFocus(Qt::ShortcutFocusReason);
    });
    // Down goes from the filter to the first row it shows, one met by its name before one met
    // by its settings; Enter there launches the current row when it is shown.
    auto *down =
        new QShortcut(QKeySequence(Qt::Key_Down), filter, nullptr, nullptr, Qt::WidgetShortcut);
    connect(down, &QShortcut::activated, this, [this] {
        const int first = list->FirstShownRow();
        if (first < 0)
            return;
        list->setCurrentRow(first);
        list->setFocus(Qt::ShortcutFocusReason);
    });
    connect(filter, &QLineEdit::returnPressed, this,
            onShownRow(&ProfileListActions::launchRequested));
    connect(list, &QListWidget::itemDoubleClicked, this, &ProfileListActions::launchRequested);
    // X11 sends a context menu event for the Menu key only; Shift+F10 opens the same menus, as
    // in every desktop toolkit.
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), window);
    connect(menuKey, &QShortcut::activated, this, &ProfileListActions::OpenFocusContextMenu);

    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, &ProfileListActions::ShowMenu);
    launchButton->setContextMenuPolicy(Qt::ActionsContextMenu);
    launchButton->addAction(copyCommandAction);
    connect(emulators.running, &RunningEmulatorsView::runningCountsChanged, this,
            &ProfileListActions::SetRunningCount);
    connect(companions, &ProfileCompanions::menuEntriesFailed, this,
            &ProfileListActions::ShowMenuEntryFailures);
    // "Remove" follows the Remove button: never on the first profile.
    removeAction->setEnabled(list->currentRow() > 0);
    connect(list, &ProfileQListWidget::currentProfileRowChanged, this,
            [this](int row) { removeAction->setEnabled(row > 0); });
}

void ProfileListActions::OpenFocusContextMenu()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return;
    // Where Qt puts the menu for the Menu key: at the focus widget's cursor, which for the list
    // is its current row.
    const QPoint pos = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, focus->mapToGlobal(pos));
    QCoreApplication::sendEvent(focus, &event);
}

void ProfileListActions::MoveCurrent(int step)
{
    const int from = list->currentRow();
    // Sorted by name or use, the list shows no place to move to.
    if (!list->CurrentRowShown() || from == 0 || !list->InStoredOrder())
        return;
    const int to = list->ShownNeighbour(from, step);
    // The first profile stays first: nothing moves above it.
    if (to >= 1)
        MoveProfile(from, to);
}

void ProfileListActions::MoveProfile(int from, int to)
{
    const LauncherConfig &config = document->Config();
    if (from >= 1 && from < config.profiles.size())
        document->MoveProfile(config.profiles.at(from).name, to);
}

void ProfileListActions::AddMenu(QMenu *submenu)
{
    moreMenus.append(submenu);
    list->addAction(submenu->menuAction());
}

void ProfileListActions::ShowMenu(QPoint pos)
{
    QListWidgetItem *item = list->itemAt(pos);
    if (!item) {
        // From the keyboard, or below the last row: the menu is for the current row.
        item = list->currentItem();
        if (!item || !list->CurrentRowShown())
            return;
        pos = list->visualItemRect(item).center();
    }
    QMenu menu(window);
    menu.addAction(launchAction);
    menu.addAction(stopAction);
    menu.addAction(showLogAction);
    menu.addSeparator();
    menu.addAction(duplicateAction);
    menu.addAction(deviceAction);
    menu.addAction(renameAction);
    menu.addAction(removeAction);
    menu.addSeparator();
    menu.addAction(history->UndoAction());
    menu.addAction(history->RedoAction());
    menu.addSeparator();
    menu.addAction(copyCommandAction);
    menu.addAction(menuEntryAction);
    menu.addAction(removeMenuEntryAction);
    menu.addSeparator();
    extras->AddTo(&menu);
    menu.addMenu(order->Menu());
    for (QMenu *submenu : std::as_const(moreMenus))
        menu.addMenu(submenu);
    menu.addSeparator();
    menu.addAction(importAction);
    menu.addAction(exportAction);
    menu.addSeparator();
    menu.addAction(runningAction);
    menu.addAction(stopAllAction);
    // Only a profile with a log has one to show; only one with a menu entry has one to remove.
    const int row = list->row(item);
    bool anyEntry = false;
    for (const int selected : list->SelectedShownRows())
        anyEntry =
            anyEntry || companions->HasMenuEntry(document->Config().profiles.at(selected).name);
    removeMenuEntryAction->setEnabled(anyEntry);
    showLogAction->setEnabled(control->HasLog(row));
    menu.exec(list->viewport()->mapToGlobal(pos));
}

void ProfileListActions::OnDuplicateProfile()
{
    const int row = list->currentRow();
    if (row < 0 || row >= document->Config().profiles.size())
        return;
    emit storeWindowRequested(
        tr("Duplicate Profile"), tr("Enter the name for the copy"),
        tr("%1 (copy)").arg(ShownName(document->Config().profiles.at(row).name)));
}

void ProfileListActions::OnRenameProfile()
{
    const int row = list->currentRow();
    const LauncherConfig &config = document->Config();
    if (row < 0 || row >= config.profiles.size())
        return;
    const QString title = tr("Rename Profile");
    const QString current = config.profiles.at(row).name;
    const ProfileSettings asked = ProfileSettings::Of(config, config.profiles.at(row));
    // A name too long to show starts cut; given back unchanged, it stays what it was.
    QString name = ShownName(current);
    // A name another profile has is refused, and the dialog opens again with what was typed.
    for (;;) {
        name = AskProfileName(window, title, tr("Enter the new name for the profile"), name);
        if (name.isEmpty() || name == current || name == ShownName(current))
            return;
        const int existing = config.FindProfile(name);
        if (existing < 0 || existing == row)
            break;
        ShowMessage(window, QMessageBox::Warning, title,
                    tr("A profile named \"%1\" already exists.").arg(ShownName(name)));
    }
    RenameProfile(current, name, asked);
}

void ProfileListActions::RenameProfile(const QString &oldName, const QString &name,
                                       const std::optional<ProfileSettings> &asked)
{
    const QString title = tr("Rename Profile");
    switch (document->RenameProfile(oldName, name, asked)) {
    case ProfileDocument::EditResult::Done:
        return;
    case ProfileDocument::EditResult::Missing:
        TellProfileGone(window, title, oldName);
        return;
    case ProfileDocument::EditResult::Changed:
        TellProfileChanged(window, title, oldName);
        return;
    case ProfileDocument::EditResult::NameTaken:
        ShowMessage(window, QMessageBox::Warning, title,
                    tr("A profile named \"%1\" already exists.").arg(ShownName(name)));
        return;
    }
}

void ProfileListActions::OnCopyCommandLine()
{
    QGuiApplication::clipboard()->setText(ShellCommand(command()));
}

void ProfileListActions::OnNewProfileFromDevice()
{
    const QList<DeviceSpec> devices = DeviceCatalogue();
    QSize screen;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        screen = primary->geometry().size();
    DeviceDialog dialog(window, devices, screen);
    RememberGeometry(&dialog, QStringLiteral("deviceDialog"));
    // Declining to replace a profile of the same name returns to the list.
    while (dialog.exec() == QDialog::Accepted) {
        const int chosen = dialog.SelectedDevice();
        if (chosen < 0 || AddDeviceProfile(devices.at(chosen), dialog.Landscape()))
            return;
    }
}

bool ProfileListActions::AddDeviceProfile(const DeviceSpec &device, bool landscape)
{
    const QString name = DeviceProfileName(device, landscape);
    if (const std::optional<ProfileDocument::Expected> asked = document->ExpectedOf(name)) {
        const QString title = tr("New Profile from Device");
        if (ShowMessage(
                window, QMessageBox::Question, title,
                QCoreApplication::translate(
                    "MainWindow", "This profile already exists. Do you want to replace it?"),
                QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
            return false;
        switch (document->AddDeviceProfile(device, landscape, true, asked->settings)) {
        case ProfileDocument::EditResult::Done:
            break;
        case ProfileDocument::EditResult::Changed:
            TellProfileChanged(window, title, name);
            return true;
        default:
            TellProfileGone(window, title, name);
            return true;
        }
    } else {
        document->AddDeviceProfile(device, landscape, false);
    }
    // Selecting the row shows what it stores; a replaced current profile shows it already.
    list->setCurrentRow(document->Config().FindProfile(name));
    return true;
}

void ProfileListActions::OnAddToApplicationsMenu()
{
    QStringList names;
    for (const int row : list->SelectedShownRows())
        names.append(document->Config().profiles.at(row).name);
    companions->AddMenuEntries(names);
}

void ProfileListActions::ShowMenuEntryFailures(const QList<CompanionFailure> &failures)
{
    if (failures.size() == 1) {
        ShowMessage(window, QMessageBox::Warning, tr("Add to Applications Menu"),
                    tr("The profile could not be added to the applications menu: %1.")
                        .arg(failures.first().error));
        return;
    }
    QStringList lines;
    for (const CompanionFailure &failure : failures)
        lines.append(tr("\"%1\": %2").arg(ShownName(failure.profile, 200), failure.error));
    ShowMessage(window, QMessageBox::Warning, tr("Add to Applications Menu"),
                tr("These profiles could not be added to the applications menu:\n\n%1")
                    .arg(lines.join(QLatin1Char('\n'))));
}

void ProfileListActions::OnRemoveFromApplicationsMenu()
{
    QStringList names;
    for (const int row : list->SelectedShownRows())
        names.append(document->Config().profiles.at(row).name);
    companions->RemoveMenuEntries(names);
}

void ProfileListActions::SetRunningCount(int ofCurrentProfile, int all)
{
    stopAction->setEnabled(ofCurrentProfile > 0);
    stopAllAction->setEnabled(all > 0);
}

bool ProfileListActions::RemoveSelection()
{
    const QList<int> rows = list->SelectedShownRows();
    if (rows.size() <= 1)
        return false;
    QStringList names;
    QList<ProfileDocument::Expected> asked;
    const LauncherConfig &config = document->Config();
    for (const int row : rows) {
        // The first profile is never removed.
        if (row > 0) {
            names.append(config.profiles.at(row).name);
            asked.append({names.last(), ProfileSettings::Of(config, config.profiles.at(row))});
        }
    }
    if (names.isEmpty())
        return true;
    const QString title = QCoreApplication::translate("MainWindow", "Confirm Remove Profile");
    // The first profile among them stays: then perhaps only one is left to ask about.
    const QString text =
        names.size() == 1 ? QCoreApplication::translate(
                                "MainWindow", "Are you sure you want to remove this profile?\n\n")
                          : tr("Are you sure you want to remove these %n profiles?\n\n", nullptr,
                               int(names.size()));
    if (ShowMessage(window, QMessageBox::Question, title, (text + ListedNames(names)).trimmed(),
                    QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return true;
    // Each only while it stores what the question showed; those that went or changed meanwhile
    // are named.
    const ProfileDocument::Removal removal = document->RemoveProfiles(asked);
    QString left;
    if (!removal.gone.isEmpty())
        left += tr("These profiles no longer exist:\n\n%1").arg(ListedNames(removal.gone));
    if (!removal.changed.isEmpty())
        left += (left.isEmpty() ? QString() : QStringLiteral("\n")) +
                tr("These profiles were changed outside the launcher since you were asked, and "
                   "stay:\n\n%1")
                    .arg(ListedNames(removal.changed));
    if (!left.isEmpty())
        ShowMessage(window, QMessageBox::Information, title,
                    (removal.removed.isEmpty()
                         ? tr("Nothing was removed.")
                         : tr("%n profiles were removed.", nullptr, int(removal.removed.size()))) +
                        QStringLiteral("\n\n") + left.trimmed());
    return true;
}
