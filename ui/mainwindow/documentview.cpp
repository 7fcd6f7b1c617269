#include "documentview.h"

#include "configmessages.h"
#include "profiledocument.h"
#include "profileqlistwidget.h"
#include "runningemulatorsview.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

DocumentView::DocumentView(ProfileDocument *d, ProfileQListWidget *profileList,
                           QComboBox *const *optionBoxes, QLineEdit *argumentsEdit,
                           RunningEmulatorsView *runningView, QWidget *window)
    : QObject(window), document(d), list(profileList), arguments(argumentsEdit),
      running(runningView)
{
    std::copy(optionBoxes, optionBoxes + SectionCount, boxes);
    connect(d, &ProfileDocument::profileInserted, this, &DocumentView::OnProfileInserted);
    connect(d, &ProfileDocument::profileRemoved, this, &DocumentView::OnProfileRemoved);
    connect(d, &ProfileDocument::profileMoved, this, &DocumentView::OnProfileMoved);
    connect(d, &ProfileDocument::profileRenamed, this, &DocumentView::OnProfileRenamed);
    // The filter's matcher is the extras' (ExtrasActions): settings, tags and notes.
    connect(d, &ProfileDocument::profileChanged, this, [this](int row) {
        list->ApplyFilterTo(row);
        if (row == list->currentRow())
            emit currentProfileChanged(row);
    });
    connect(d, &ProfileDocument::optionInserted, this, &DocumentView::OnOptionInserted);
    connect(d, &ProfileDocument::optionRemoved, this, &DocumentView::OnOptionRemoved);
    connect(d, &ProfileDocument::aboutToReset, this, &DocumentView::KeepShownState);
    connect(d, &ProfileDocument::reset, this, &DocumentView::ShowResetModel);
    connect(d, &ProfileDocument::saveFailed, this,
            [window](const QString &path, const QString &why) {
                TellChangesNotSaved(window, path, why);
            });
    connect(d, &ProfileDocument::outsideChangeUnusable, this,
            [window](const QString &path, const QString &why) {
                TellOutsideChangeUnusable(window, path, why);
            });
}

void DocumentView::OnProfileInserted(int row)
{
    list->insertItem(row, ShownName(document->Config().profiles.at(row).name));
    list->ApplyFilterTo(row);
    running->Refresh(true);
}

void DocumentView::OnProfileRemoved(int row)
{
    // The model is whole already: every row change the list reports meets a matching profile.
    const bool wasCurrent = list->currentRow() == row;
    delete list->takeItem(row);
    // As the Remove button leaves it: the first profile. An undone addition shows the one
    // that took its row (stepShown).
    if (wasCurrent)
        list->setCurrentRow(0);
}

void DocumentView::OnProfileMoved(int from, int to)
{
    int current = list->currentRow();
    if (current == from)
        current = to;
    else if (from < current && to >= current)
        --current;
    else if (from > current && to <= current)
        ++current;
    // The same profile stays selected, wherever it is now: nothing the widgets show changes,
    // an edit not stored yet included, so the row change is not announced.
    const QSignalBlocker blocker(list);
    list->insertItem(to, list->takeItem(from));
    list->setCurrentRow(current);
}

void DocumentView::OnProfileRenamed(int row)
{
    list->item(row)->setText(ShownName(document->Config().profiles.at(row).name));
    list->ApplyFilterTo(row);
    list->Resort();
    running->Refresh(true);
    // The name is part of the command line the window shows.
    emit shownChanged();
}

void DocumentView::OnOptionInserted(int section, int index)
{
    // The box keeps its current entry; profiles keep theirs too.
    boxes[section]->insertItem(
        index, ShownText(document->Config().sections.at(section).entries.at(index).name,
                         MaxShownEntryLength));
    emit shownChanged();
}

void DocumentView::OnOptionRemoved(int section, int index)
{
    // The profiles that used it follow (profileChanged); the box of one that did not keeps
    // what it shows.
    QComboBox *combo = boxes[section];
    const bool wasCurrent = combo->currentIndex() == index;
    combo->removeItem(index);
    if (wasCurrent) {
        // Back to what the selected profile stores (an undone "Add" leaves the box as it was
        // before it), else to the first entry.
        const LauncherConfig &config = document->Config();
        const int row = list->currentRow();
        const int stored = row >= 0 && row < config.profiles.size()
                               ? config.profiles.at(row).optionIndex.value(section - 1, 0)
                               : 0;
        combo->setCurrentIndex(config.HasEntry(section, stored) ? stored : 0);
    }
    emit shownChanged();
}

QList<int> DocumentView::ShownPositions() const
{
    QList<int> positions;
    for (int s = 1; s <= OptionSectionCount; ++s)
        positions.append(boxes[s]->currentIndex());
    return positions;
}

void DocumentView::KeepShownState()
{
    const LauncherConfig &config = document->Config();
    const int row = list->currentRow();
    const bool hadRow = row >= 0 && row < config.profiles.size();
    shownState = {};
    if (!hadRow)
        return;
    const LauncherProfile &profile = config.profiles.at(row);
    shownState.name = profile.name;
    // Arguments shown cut cannot be edited: only the options can differ then.
    shownState.typed = arguments->isReadOnly() ? profile.arguments : arguments->text();
    shownState.edited = OptionValueText(config.sections, ShownPositions(), shownState.typed) !=
                        config.ProfileValueText(profile);
    shownState.chosen = ProfileSettings::Of(config, ShownPositions(), QString()).entries;
}

void DocumentView::ShowResetModel()
{
    const LauncherConfig &config = document->Config();
    for (int s = 1; s < SectionCount; ++s) {
        boxes[s]->clear();
        boxes[s]->insertItems(0, ShownTexts(config.EntryNames(s), MaxShownEntryLength));
    }
    list->clear();
    list->addItems(ShownNames(config.ProfileNames()));
    const int found = config.FindProfile(shownState.name);
    list->setCurrentRow(found >= 0 ? found : 0);
    if (found >= 0 && shownState.edited) {
        for (int s = 1; s < SectionCount; ++s) {
            const std::optional<ConfigEntry> &entry = shownState.chosen.value(s - 1);
            boxes[s]->setCurrentIndex(entry ? int(config.sections.at(s).entries.indexOf(*entry))
                                            : -1);
        }
        if (!arguments->isReadOnly())
            arguments->setText(shownState.typed);
    }
    list->SetFilter(list->Filter());
    running->Refresh(true);
    emit shownChanged();
}
