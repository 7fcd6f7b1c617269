#include "profilelistactions.h"

#include "commandline.h"
#include "desktopentry.h"
#include "devicecatalogue.h"
#include "devicedialog.h"
#include "dialogs.h"
#include "emulatorlaunch.h"
#include "emulatormonitor.h"
#include "filelocations.h"
#include "instances.h"
#include "mainwindow.h"
#include "profileexchange.h"
#include "profileqlistwidget.h"
#include "runningemulatorsview.h"

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

#include <memory>
#include <optional>
#include <utility>

template <typename Slot> void ProfileListActions::OnShownRow(Slot slot)
{
    // Under a filter that hides the current profile, the keys act on no row.
    if (list->CurrentRowShown())
        (window->*slot)();
}

ProfileListActions::ProfileListActions(MainWindow *w, ProfileQListWidget *profileList,
                                       QPushButton *launchButton, QLineEdit *filterEdit)
    : QObject(w), window(w), list(profileList), filter(filterEdit)
{
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
    launchAction = add(tr("Launch"), this, [this] { OnShownRow(&MainWindow::OnLaunch); });
    duplicateAction = add(tr("Duplicate…"), this, &ProfileListActions::OnDuplicateProfile);
    renameAction = add(
        tr("Rename…"), this,
        [this] {
            if (list->CurrentRowShown())
                OnRenameProfile();
        },
        QKeySequence(Qt::Key_F2));
    removeAction = add(
        tr("Remove"), this, [this] { OnShownRow(&MainWindow::OnRemoveProfile); },
        QKeySequence::Delete);
    copyCommandAction = add(tr("Copy Command Line"), this, &ProfileListActions::OnCopyCommandLine);
    deviceAction =
        add(tr("New Profile from Device…"), this, &ProfileListActions::OnNewProfileFromDevice);
    exportAction = add(tr("Export Profiles…"), this, &ProfileListActions::OnExportProfiles);
    importAction = add(tr("Import Profiles…"), this, &ProfileListActions::OnImportProfiles);
    menuEntryAction =
        add(tr("Add to Applications Menu"), this, &ProfileListActions::OnAddToApplicationsMenu);
    stopAction = add(tr("Stop"), this, &ProfileListActions::OnStop);
    stopAllAction = add(tr("Stop All Emulators"), this, &ProfileListActions::OnStopAll);
    showLogAction = add(tr("Show Log"), this, &ProfileListActions::OnShowLog);
    stopAction->setEnabled(false);
    stopAllAction->setEnabled(false);
    // Enter on the list and a double click (whose first click selected the row) launch.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *enter = new QShortcut(QKeySequence(key), list, nullptr, nullptr, Qt::WidgetShortcut);
        connect(enter, &QShortcut::activated, this, [this] { OnShownRow(&MainWindow::OnLaunch); });
    }
    // Alt+Up and Alt+Down move the selected profile; so does dragging its row.
    for (const auto &[key, step] : {std::pair{Qt::Key_Up, -1}, std::pair{Qt::Key_Down, 1}}) {
        auto *move =
            new QShortcut(QKeySequence(Qt::ALT | key), list, nullptr, nullptr, Qt::WidgetShortcut);
        connect(move, &QShortcut::activated, this, [this, step = step] { MoveCurrent(step); });
    }
    connect(list, &ProfileQListWidget::moveRequested, window, &MainWindow::MoveProfile);

    // The filter: Ctrl+F reaches it from anywhere in the window, Escape clears it and returns
    // to the list.
    connect(filter, &QLineEdit::textChanged, list, &ProfileQListWidget::SetFilter);
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
    // Down goes from the filter to the first row it shows; Enter there launches the current
    // row when it is shown.
    auto *down =
        new QShortcut(QKeySequence(Qt::Key_Down), filter, nullptr, nullptr, Qt::WidgetShortcut);
    connect(down, &QShortcut::activated, this, [this] {
        const int first = list->ShownNeighbour(-1, 1);
        if (first < 0)
            return;
        list->setCurrentRow(first);
        list->setFocus(Qt::ShortcutFocusReason);
    });
    connect(filter, &QLineEdit::returnPressed, this, [this] { OnShownRow(&MainWindow::OnLaunch); });
    connect(list, &QListWidget::itemDoubleClicked, window, &MainWindow::OnLaunch);
    // X11 sends a context menu event for the Menu key only; Shift+F10 opens the same menus, as
    // in every desktop toolkit.
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), window);
    connect(menuKey, &QShortcut::activated, this, &ProfileListActions::OpenFocusContextMenu);

    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, &ProfileListActions::ShowMenu);
    launchButton->setContextMenuPolicy(Qt::ActionsContextMenu);
    launchButton->addAction(copyCommandAction);
}

void ProfileListActions::SetRemoveEnabled(bool enabled)
{
    removeAction->setEnabled(enabled);
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
        window->MoveProfile(from, to);
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
    menu.addAction(copyCommandAction);
    menu.addAction(menuEntryAction);
    menu.addSeparator();
    menu.addAction(importAction);
    menu.addAction(exportAction);
    menu.addSeparator();
    menu.addAction(stopAllAction);
    menu.exec(list->viewport()->mapToGlobal(pos));
}

void ProfileListActions::OnDuplicateProfile()
{
    const int row = list->currentRow();
    if (row < 0 || row >= window->Config().profiles.size())
        return;
    const QString title = tr("Duplicate Profile");
    if (window->ArgumentsCanBeStored(title))
        window->StoreWindowAsNewProfile(
            title, tr("Enter the name for the copy"),
            tr("%1 (copy)").arg(ShownText(window->Config().profiles.at(row).name)));
}

void ProfileListActions::OnRenameProfile()
{
    const int row = list->currentRow();
    const LauncherConfig &config = window->Config();
    if (row < 0 || row >= config.profiles.size())
        return;
    const QString title = tr("Rename Profile");
    const QString current = config.profiles.at(row).name;
    // A name too long to show starts cut; given back unchanged, it stays what it was.
    QString name = ShownText(current);
    // A name another profile has is refused, and the dialog opens again with what was typed.
    for (;;) {
        name = AskProfileName(window, title, tr("Enter the new name for the profile"), name);
        if (name.isEmpty() || name == current || name == ShownText(current))
            return;
        const int existing = config.FindProfile(name);
        if (existing < 0 || existing == row)
            break;
        ShowMessage(window, QMessageBox::Warning, title,
                    tr("A profile named \"%1\" already exists.").arg(ShownText(name)));
    }
    window->RenameProfile(current, name);
}

void ProfileListActions::OnCopyCommandLine()
{
    QGuiApplication::clipboard()->setText(ShellCommand(window->CurrentCommand()));
}

void ProfileListActions::OnNewProfileFromDevice()
{
    const QList<DeviceSpec> devices = DeviceCatalogue();
    QSize screen;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        screen = primary->geometry().size();
    DeviceDialog dialog(window, devices, screen);
    // Declining to replace a profile of the same name returns to the list.
    while (dialog.exec() == QDialog::Accepted) {
        const int chosen = dialog.SelectedDevice();
        if (chosen < 0 || window->AddDeviceProfile(devices.at(chosen), dialog.Landscape()))
            return;
    }
}

void ProfileListActions::OnExportProfiles()
{
    const int row = list->currentRow();
    const LauncherConfig &config = window->Config();
    // By name: the list may change while the dialogs are open.
    QString only;
    bool chosen = false;
    if (row >= 0 && row < config.profiles.size() && list->CurrentRowShown()) {
        QMessageBox box(
            QMessageBox::Question, tr("Export Profiles"),
            tr("Export all profiles, or only \"%1\"?").arg(ShownText(config.profiles.at(row).name)),
            QMessageBox::Cancel, window);
        QPushButton *all = box.addButton(tr("All Profiles"), QMessageBox::AcceptRole);
        QPushButton *one = box.addButton(tr("Selected Profile"), QMessageBox::AcceptRole);
        box.setDefaultButton(all);
        FitTitle(&box);
        box.exec();
        if (box.clickedButton() == one) {
            only = config.profiles.at(row).name;
            chosen = true;
        } else if (box.clickedButton() != all) {
            return;
        }
    }
    QFileDialog dialog(window, tr("Export Profiles"), QString(),
                       tr("Launcher configurations (*.ini);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ini"));
    dialog.selectFile(QStringLiteral("Profiles.ini"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    QList<int> rows;
    if (chosen) {
        const int now = window->Config().FindProfile(only);
        if (now < 0) {
            ShowMessage(window, QMessageBox::Information, tr("Export Profiles"),
                        tr("The profile \"%1\" no longer exists: the configuration file was "
                           "changed outside the launcher meanwhile. Nothing was exported.")
                            .arg(ShownText(only)));
            return;
        }
        rows.append(now);
    } else {
        for (int r = 0; r < config.profiles.size(); ++r)
            rows.append(r);
    }
    const ConfigSaveResult saved =
        ExportProfilesToFile(config, rows, path, window->UserConfigPath());
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    // Asked once per name that exists, unless the user says to do the same for the rest.
    std::optional<ImportChoice> forTheRest;
    window->ImportProfilesFrom(dialog.selectedFiles().first(), [&](const QString &name) {
        if (forTheRest)
            return *forTheRest;
        QMessageBox box(QMessageBox::Question, tr("Import Profiles"),
                        tr("A profile named \"%1\" already exists. Replace it with the imported "
                           "one, or skip the imported one?")
                            .arg(ShownText(name)),
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
    const int row = list->currentRow();
    if (row < 0 || row >= window->Config().profiles.size() || !list->CurrentRowShown())
        return;
    QString error;
    if (!WriteDesktopEntry(QCoreApplication::applicationFilePath(),
                           window->Config().profiles.at(row).name, &error)) {
        ShowMessage(window, QMessageBox::Warning, tr("Add to Applications Menu"),
                    tr("The profile could not be added to the applications menu: %1.").arg(error));
    }
}

void ProfileListActions::SetRunningCount(int ofCurrentProfile, int all)
{
    stopAction->setEnabled(ofCurrentProfile > 0);
    stopAllAction->setEnabled(all > 0);
}

void ProfileListActions::OnStop()
{
    const int row = list->currentRow();
    if (row >= 0 && row < window->Config().profiles.size() && list->CurrentRowShown())
        StopInBackground(window->Config().profiles.at(row).name);
}

void ProfileListActions::OnStopAll()
{
    const int running = int(window->Running()->Monitor()->Records().size());
    if (running > 1 && ShowMessage(window, QMessageBox::Question, tr("Stop All Emulators"),
                                   tr("Stop all %n running emulators?", nullptr, running),
                                   QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    StopInBackground(QString());
}

void ProfileListActions::StopInBackground(const QString &profile)
{
    const auto result = std::make_shared<StopResult>();
    RunningEmulatorsView *view = window->Running();
    QThread *worker = QThread::create([view, profile, result] {
        // An emulator launched a moment ago is stopped too.
        view->WaitForRecords();
        *result = StopEmulators(profile);
    });
    // Owned here, so that it goes with the window even when its deferred deletion never runs.
    worker->setParent(this);
    stopping.append(worker);
    connect(worker, &QThread::finished, this, [this, worker, result] {
        stopping.removeAll(worker);
        worker->deleteLater();
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

void ProfileListActions::OnShowLog()
{
    const int row = list->currentRow();
    if (row < 0 || row >= window->Config().profiles.size())
        return;
    window->Running()->WaitForRecords();
    const QString log = NewestLog(window->Config().profiles.at(row).name);
    if (log.isEmpty()) {
        ShowMessage(window, QMessageBox::Information, tr("Show Log"),
                    tr("No emulator of this profile has left a log yet."));
        return;
    }
    if (!OpenLocalPage(log))
        ShowMessage(window, QMessageBox::Warning, tr("Show Log"),
                    tr("The log %1 could not be opened: no program to show it was found.")
                        .arg(ShownPath(log)));
}
