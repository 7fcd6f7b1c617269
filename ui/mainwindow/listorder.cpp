#include "listorder.h"

#include "profilecompanions.h"
#include "profiledocument.h"
#include "profileqlistwidget.h"
#include "windowmemory.h"

#include <QActionGroup>
#include <QMenu>
#include <QSettings>

namespace {
const char *const OrderKey = "profileList/order";

// As the settings file spells them.
const char *OrderName(ProfileOrder order)
{
    switch (order) {
    case ProfileOrder::Name:
        return "name";
    case ProfileOrder::LastLaunch:
        return "lastLaunch";
    case ProfileOrder::LaunchCount:
        return "launchCount";
    case ProfileOrder::Stored:
        break;
    }
    return "stored";
}
} // namespace

ListOrder::ListOrder(QWidget *window, ProfileDocument *d, ProfileQListWidget *l,
                     ProfileCompanions *c)
    : QObject(window), document(d), list(l), companions(c)
{
    // Made once, as the list's other actions are: they belong to the window.
    menu = new QMenu(tr("Sort &By"), window);
    group = new QActionGroup(this);
    const std::pair<QString, ProfileOrder> orders[] = {
        {tr("&Stored Order"), ProfileOrder::Stored},
        {tr("&Name"), ProfileOrder::Name},
        {tr("&Last Launch"), ProfileOrder::LastLaunch},
        {tr("Launch &Count"), ProfileOrder::LaunchCount},
    };
    for (const auto &[text, order] : orders) {
        QAction *action = menu->addAction(text);
        action->setCheckable(true);
        action->setData(int(order));
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, order = order] {
            Choose(order);
            WindowSettings().setValue(QLatin1String(OrderKey), QLatin1String(OrderName(order)));
        });
    }
    list->addAction(menu->menuAction());
    // Launches and renames change where a profile belongs.
    connect(companions, &ProfileCompanions::useChanged, list, &ProfileQListWidget::Resort);

    const QString remembered = WindowSettings().value(QLatin1String(OrderKey)).toString();
    ProfileOrder order = ProfileOrder::Stored;
    for (const ProfileOrder known :
         {ProfileOrder::Name, ProfileOrder::LastLaunch, ProfileOrder::LaunchCount}) {
        if (remembered == QLatin1String(OrderName(known)))
            order = known;
    }
    Choose(order);
}

void ListOrder::Choose(ProfileOrder order)
{
    chosen = order;
    for (QAction *action : group->actions())
        action->setChecked(action->data().toInt() == int(order));
    if (order == ProfileOrder::Stored) {
        list->SetOrder(nullptr);
        return;
    }
    list->SetOrder([this, order] {
        return OrderedRows(order, document->Config().ProfileNames(),
                           [this](const QString &name) { return companions->Use(name); });
    });
}
