#include "profilelistactions.h"

#include "commandline.h"
#include "configmessages.h"
#include "desktopentry.h"
#include "devicecatalogue.h"
#include "devicedialog.h"
#include "dialogs.h"
#include "documentview.h"
#include "emulatorlaunch.h"
#include "emulatormonitor.h"
#include "filelocations.h"
#include "instances.h"
#include "logviewer.h"
#include "profiledocument.h"
#include "profileexchange.h"
#include "profileqlistwidget.h"
#include "runningemulatorsview.h"
#include "runningpanel.h"
#include "windowmemory.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QUndoStack>

#include <memory>
#include <optional>
#include <utility>

namespace {
// More than this many launched at once are asked about first.
constexpr int MaxLaunchedUnasked = 5;
} // namespace

ProfileListActions::ProfileListActions(QWidget *w, ProfileDocument *d,
                                       ProfileQListWidget *profileList, QPushButton *launchButton,
                                       QLineEdit *filterEdit, RunningEmulatorsView *runningView,
                                       std::function<SplitCommand()> launchCommand)
    : QObject(w), window(w), document(d), running(runningView), command(std::move(launchCommand)),
      list(profileList), filter(filterEdit)
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
    exportAction = add(tr("E&xport Profiles…"), this, &ProfileListActions::OnExportProfiles);
    importAction = add(tr("&Import Profiles…"), this, &ProfileListActions::OnImportProfiles);
    menuEntryAction =
        add(tr("&Add to Applications Menu"), this, &ProfileListActions::OnAddToApplicationsMenu);
    removeMenuEntryAction = add(tr("Remove &from Applications Menu"), this,
                                &ProfileListActions::OnRemoveFromApplicationsMenu);
    stopAction = add(tr("&Stop"), this, &ProfileListActions::OnStop);
    stopAllAction = add(tr("S&top All Emulators"), this, &ProfileListActions::OnStopAll);
    showLogAction = add(tr("Show Lo&g"), this, &ProfileListActions::OnShowLog);
    runningAction = new QAction(tr("Running &Emulators…"), this);
    runningAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    runningAction->setShortcutContext(Qt::WindowShortcut);
    window->addAction(runningAction);
    connect(runningAction, &QAction::triggered, this, &ProfileListActions::OnRunningEmulators);
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
        tr("Shows the profiles whose name, options or arguments contain the text, ignoring "
           "case. Those found by their options or arguments only are in italics; Down goes to "
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
    connect(running, &RunningEmulatorsView::runningCountsChanged, this,
            &ProfileListActions::SetRunningCount);
    // Open at the last end: open again once the emulators started before are known.
    connect(running, &RunningEmulatorsView::started, this, [this] {
        if (RunningPanel::WasOpen())
            OnRunningEmulators();
    });
    // "Remove" follows the Remove button: never on the first profile.
    removeAction->setEnabled(list->currentRow() > 0);
    connect(list, &QListWidget::currentRowChanged, this,
            [this](int row) { removeAction->setEnabled(row > 0); });
    BuildHistoryActions();
    FollowDesktopEntries();
}

void ProfileListActions::BuildHistoryActions()
{
    QUndoStack *history = document->History();
    undoAction = new QAction(this);
    redoAction = new QAction(this);
    undoAction->setShortcuts(QKeySequence::Undo);
    // Ctrl+Shift+Z and Ctrl+Y both, whatever the platform's own list holds.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence &key :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}) {
        if (!redoKeys.contains(key))
            redoKeys.append(key);
    }
    redoAction->setShortcuts(redoKeys);
    for (QAction *action : {undoAction, redoAction}) {
        // Anywhere in the window; a text field takes its own undo keys first.
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, action] { RunHistoryStep(action == undoAction); });
    }
    const auto name = [this, history] {
        const QString undoText = history->undoText();
        const QString redoText = history->redoText();
        // A name's own '&' is shown as it is, not taken for a mnemonic.
        const auto shown = [](QString text) {
            return text.replace(u'&', QStringLiteral("&&"));
        };
        undoAction->setText(undoText.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(shown(undoText)));
        redoAction->setText(redoText.isEmpty() ? tr("Red&o") : tr("Red&o %1").arg(shown(redoText)));
        undoAction->setEnabled(history->canUndo());
        redoAction->setEnabled(history->canRedo());
    };
    connect(history, &QUndoStack::indexChanged, this, name);
    connect(history, &QUndoStack::cleanChanged, this, name);
    name();
    // Every profile the step brought back is selected, the first of them current.
    connect(document, &ProfileDocument::stepShown, this, [this](const QStringList &profiles) {
        const QHash<QString, int> rows = document->Config().ProfileRows();
        const int first = profiles.isEmpty() ? -1 : rows.value(profiles.first(), -1);
        if (first < 0)
            return;
        list->setCurrentRow(first);
        if (profiles.size() < 2)
            return;
        QItemSelection all;
        for (const QString &name : profiles) {
            const QModelIndex index = list->model()->index(rows.value(name, -1), 0);
            if (index.isValid())
                all.select(index, index);
        }
        list->selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
        list->selectionModel()->setCurrentIndex(list->model()->index(first, 0),
                                                QItemSelectionModel::NoUpdate);
    });
    connect(document, &ProfileDocument::changesNotKept, this, [this](const QString &what) {
        ShowMessage(window, QMessageBox::Information, WarningTitle(), what);
    });
    connect(document, &ProfileDocument::stepSkipped, this, [this](const QString &what) {
        ShowMessage(window, QMessageBox::Information, historyTitle,
                    what + QLatin1Char(' ') +
                        tr("The configuration file was changed outside the launcher meanwhile."));
    });
}

void ProfileListActions::RunHistoryStep(bool undo)
{
    // Ctrl+Y, which no text field claims, still leaves a field's text alone.
    if (qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        return;
    historyTitle = undo ? tr("Undo") : tr("Redo");
    if (undo)
        document->History()->undo();
    else
        document->History()->redo();
}

void ProfileListActions::FollowDesktopEntries()
{
    connect(document, &ProfileDocument::profileRenamed, this,
            [this](int row, const QString &oldName) {
                RenameDesktopEntry(QCoreApplication::applicationFilePath(), oldName,
                                   document->Config().profiles.at(row).name);
            });
    connect(document, &ProfileDocument::profileRemoved, this, [this](int, const QString &name) {
        if (!HasDesktopEntry(name))
            return;
        RemoveDesktopEntry(name);
        entriesRemoved.insert(name);
    });
    connect(document, &ProfileDocument::profileInserted, this, [this](int row) {
        const QString name = document->Config().profiles.at(row).name;
        if (entriesRemoved.remove(name))
            WriteDesktopEntry(QCoreApplication::applicationFilePath(), name, nullptr);
    });
    // A whole new model (another program's edit, an import, a step of several): entries of
    // profiles gone go, and come back with them.
    const auto prune = [this] {
        const QStringList names = document->Config().ProfileNames();
        for (const QString &name : RemoveStaleDesktopEntries(names))
            entriesRemoved.insert(name);
        for (const QString &name : names) {
            if (entriesRemoved.remove(name))
                WriteDesktopEntry(QCoreApplication::applicationFilePath(), name, nullptr);
        }
    };
    connect(document, &ProfileDocument::reset, this, prune);
    // As the file stands at the start: a profile removed while no launcher ran.
    prune();
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
    if (!list->CurrentRowShown() || from == 0)
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
    menu.addAction(undoAction);
    menu.addAction(redoAction);
    menu.addSeparator();
    menu.addAction(copyCommandAction);
    menu.addAction(menuEntryAction);
    menu.addAction(removeMenuEntryAction);
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
        anyEntry = anyEntry || HasDesktopEntry(document->Config().profiles.at(selected).name);
    removeMenuEntryAction->setEnabled(anyEntry);
    showLogAction->setEnabled(row >= 0 && row < document->Config().profiles.size() &&
                              !NewestLog(document->Config().profiles.at(row).name).isEmpty());
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

void ProfileListActions::OnExportProfiles()
{
    const LauncherConfig &config = document->Config();
    // By name: the list may change while the dialogs are open.
    QStringList only;
    for (const int row : list->SelectedShownRows())
        only.append(config.profiles.at(row).name);
    bool chosen = false;
    if (!only.isEmpty()) {
        QMessageBox box(
            QMessageBox::Question, tr("Export Profiles"),
            only.size() == 1
                ? tr("Export all profiles, or only \"%1\"?").arg(ShownName(only.first()))
                : tr("Export all profiles, or only the %n selected?", nullptr, int(only.size())),
            QMessageBox::Cancel, window);
        QPushButton *all = box.addButton(tr("All Profiles"), QMessageBox::AcceptRole);
        QPushButton *some =
            box.addButton(only.size() == 1 ? tr("Selected Profile") : tr("Selected Profiles"),
                          QMessageBox::AcceptRole);
        // Several chosen on purpose are what Enter exports; the current row alone is no choice.
        box.setDefaultButton(only.size() > 1 ? some : all);
        FitTitle(&box);
        box.exec();
        if (box.clickedButton() == some)
            chosen = true;
        else if (box.clickedButton() != all)
            return;
    }
    QFileDialog dialog(window, tr("Export Profiles"), QString(),
                       tr("Launcher configurations (*.ini);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ini"));
    StartInLastFolder(&dialog);
    dialog.selectFile(QStringLiteral("Profiles.ini"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    NoteLastFolder(path);
    QList<int> rows;
    if (chosen) {
        for (const QString &name : std::as_const(only)) {
            const int now = config.FindProfile(name);
            if (now < 0) {
                TellProfileGone(window, tr("Export Profiles"), name, tr("Nothing was exported."));
                return;
            }
            rows.append(now);
        }
    } else {
        for (int r = 0; r < config.profiles.size(); ++r)
            rows.append(r);
    }
    const ConfigSaveResult saved =
        ExportProfilesToFile(config, rows, path, document->Store().UserPath());
    if (!saved.saved)
        ShowMessage(window, QMessageBox::Warning, tr("Export Profiles"),
                    tr("The profiles could not be exported: %1 cannot be written: %2.")
                        .arg(ShownPath(path), saved.reason));
}

void ProfileListActions::OnImportProfiles()
{
    QFileDialog dialog(window, tr("Import Profiles"), QString(),
                       tr("Launcher configurations (*.ini);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    StartInLastFolder(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    NoteLastFolder(dialog.selectedFiles().first());
    // Asked once per name that exists, unless the user says to do the same for the rest.
    std::optional<ImportChoice> forTheRest;
    ImportProfilesFrom(dialog.selectedFiles().first(), [&](const QString &name) {
        if (forTheRest)
            return *forTheRest;
        QMessageBox box(QMessageBox::Question, tr("Import Profiles"),
                        tr("A profile named \"%1\" already exists. Replace it with the imported "
                           "one, or skip the imported one?")
                            .arg(ShownName(name)),
                        QMessageBox::NoButton, window);
        QPushButton *replace = box.addButton(tr("Replace"), QMessageBox::AcceptRole);
        box.addButton(tr("Skip"), QMessageBox::RejectRole);
        auto *rest = new QCheckBox(tr("Do the same for the other profiles of the file"));
        box.setCheckBox(rest);
        FitTitle(&box);
        box.exec();
        const ImportChoice choice =
            box.clickedButton() == replace ? ImportChoice::Replace : ImportChoice::Skip;
        if (rest->isChecked())
            forTheRest = choice;
        return choice;
    });
}

void ProfileListActions::OnAddToApplicationsMenu()
{
    QStringList failures;
    const QList<int> rows = list->SelectedShownRows();
    for (const int row : rows) {
        QString error;
        const QString name = document->Config().profiles.at(row).name;
        if (!WriteDesktopEntry(QCoreApplication::applicationFilePath(), name, &error))
            failures.append(rows.size() == 1 ? error
                                             : tr("\"%1\": %2").arg(ShownName(name, 200), error));
    }
    if (failures.size() == 1)
        ShowMessage(window, QMessageBox::Warning, tr("Add to Applications Menu"),
                    tr("The profile could not be added to the applications menu: %1.")
                        .arg(failures.first()));
    else if (!failures.isEmpty())
        ShowMessage(window, QMessageBox::Warning, tr("Add to Applications Menu"),
                    tr("These profiles could not be added to the applications menu:\n\n%1")
                        .arg(failures.join(QLatin1Char('\n'))));
}

void ProfileListActions::OnRemoveFromApplicationsMenu()
{
    for (const int row : list->SelectedShownRows()) {
        const QString name = document->Config().profiles.at(row).name;
        RemoveDesktopEntry(name);
        entriesRemoved.remove(name);
    }
}

void ProfileListActions::SetRunningCount(int ofCurrentProfile, int all)
{
    stopAction->setEnabled(ofCurrentProfile > 0);
    stopAllAction->setEnabled(all > 0);
}

void ProfileListActions::OnStop()
{
    for (const int row : list->SelectedShownRows())
        StopInBackground(document->Config().profiles.at(row).name, {});
}

bool ProfileListActions::LaunchSelection()
{
    const QList<int> rows = list->SelectedShownRows();
    if (rows.size() <= 1)
        return false;
    const LauncherConfig &config = document->Config();
    // A slip of Ctrl+A should not start dozens of emulators.
    if (rows.size() > MaxLaunchedUnasked &&
        ShowMessage(
            window, QMessageBox::Question, tr("Launch"),
            tr("Start %n emulators, one for each selected profile?", nullptr, int(rows.size())),
            QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return true;
    QStringList failures;
    for (const int row : rows) {
        // Each as stored: what the window shows belongs to the current profile only.
        const LauncherProfile &profile = config.profiles.at(row);
        const LaunchResult launched = StartEmulator(StoredCommand(config, profile), profile.name);
        if (launched.started)
            running->Launched(launched);
        else
            failures.append(tr("\"%1\": %2").arg(ShownName(profile.name, 200), launched.error));
    }
    if (!failures.isEmpty())
        ShowMessage(window, QMessageBox::Critical, tr("Velmora Mobile Emulator Launcher"),
                    tr("Failed to start Velmora Mobile Emulator!"), QMessageBox::Ok,
                    failures.join(QLatin1Char('\n')));
    return true;
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

void ProfileListActions::OnStopAll()
{
    const int count = int(running->Monitor()->Records().size());
    if (count > 1 && ShowMessage(window, QMessageBox::Question, tr("Stop All Emulators"),
                                 tr("Stop all %n running emulators?", nullptr, count),
                                 QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    StopInBackground(QString(), {});
}

void ProfileListActions::StopInBackground(const QString &profile,
                                          const std::optional<LaunchRecord> &emulator)
{
    const auto result = std::make_shared<StopResult>();
    RunningEmulatorsView *view = running;
    QThread *worker = QThread::create([view, profile, emulator, result] {
        // An emulator launched a moment ago is stopped too.
        view->WaitForRecords();
        *result = emulator ? StopEmulator(*emulator) : StopEmulators(profile);
    });
    // Owned here, so that it goes with the window even when its deferred deletion never runs.
    worker->setParent(this);
    stopping.append(worker);
    connect(worker, &QThread::finished, this, [this, worker, result] {
        stopping.removeAll(worker);
        worker->deleteLater();
        if (panel)
            panel->Refresh();
        if (!result->failures.isEmpty()) {
            ShowMessage(window, QMessageBox::Warning, tr("Stop"),
                        tr("These emulators could not be stopped:\n\n%1")
                            .arg(result->failures.join(QLatin1Char('\n'))));
        }
    });
    worker->start();
}

ProfileListActions::~ProfileListActions()
{
    // A stop under way ends before the window goes; it waits five seconds at the most.
    for (QThread *worker : std::as_const(stopping)) {
        worker->wait();
        delete worker;
    }
}

void ProfileListActions::OnRunningEmulators()
{
    if (!panel) {
        panel = new RunningPanel(window, running->Monitor());
        connect(panel, &RunningPanel::launched, running, &RunningEmulatorsView::Launched);
        connect(panel, &RunningPanel::stopRequested, this,
                [this](const LaunchRecord &emulator) { StopInBackground(QString(), emulator); });
    }
    panel->show();
    panel->raise();
    panel->activateWindow();
}

void ProfileListActions::OnShowLog()
{
    const int row = list->currentRow();
    if (row < 0 || row >= document->Config().profiles.size())
        return;
    running->WaitForRecords();
    const QString profile = document->Config().profiles.at(row).name;
    const QString log = NewestLog(profile);
    if (log.isEmpty()) {
        ShowMessage(window, QMessageBox::Information, tr("Show Log"),
                    tr("No emulator of this profile has left a log yet."));
        return;
    }
    LogViewer::Open(window, profile, log);
}

void ProfileListActions::ImportProfilesFrom(const QString &path, const ImportDecider &decide)
{
    document->Import(path, decide, [this, path](const ProfileDocument::ImportOutcome &outcome) {
        ShowImportOutcome(path, outcome);
    });
}

void ProfileListActions::ShowImportOutcome(const QString &path,
                                           const ProfileDocument::ImportOutcome &outcome)
{
    const QString title = tr("Import Profiles");
    if (outcome.read != ConfigLoadResult::Loaded) {
        ShowMessage(window, QMessageBox::Warning, title,
                    tr("%1 cannot be imported: %2.")
                        .arg(ShownPath(path),
                             outcome.read == ConfigLoadResult::Missing ? tr("it does not exist")
                             : outcome.read == ConfigLoadResult::Unreadable
                                 ? outcome.readReason
                                 : tr("it is no launcher configuration of a version read here")));
        return;
    }
    if (!outcome.saved.saved) {
        // Nothing half-imported: the window and the file stay as they were.
        ShowMessage(window, QMessageBox::Warning, title,
                    tr("Nothing was imported: %1 cannot be written: %2.")
                        .arg(ShownPath(document->Store().UserPath()),
                             outcome.saved.reason.isEmpty() ? tr("it is left as it is")
                                                            : outcome.saved.reason));
        return;
    }
    const ImportReport &report = outcome.report;
    if (!report.First().isEmpty())
        list->setCurrentRow(document->Config().FindProfile(report.First()));
    if (!report.refused.isEmpty()) {
        ShowMessage(window, QMessageBox::Warning, title,
                    tr("These profiles were not imported: a name cannot be empty or hold a "
                       "double quote, a line break or another control character.\n\n") +
                        ShownNames(report.refused).join(QLatin1Char('\n')));
    }
    if (!outcome.notApplied.isEmpty()) {
        // The configuration file changed while the questions were open.
        ShowMessage(window, QMessageBox::Information, title,
                    tr("These profiles were not imported as you answered:\n\n%1")
                        .arg(ShownTexts(outcome.notApplied).join(QLatin1Char('\n'))));
    }
}
