#pragma once

#include "profileuse.h"

#include <QObject>

class ProfileCompanions;
class ProfileDocument;
class ProfileQListWidget;
class QActionGroup;
class QMenu;
class QWidget;

// The order the profile list shows: the stored one (where rows are moved), or by name, last
// launch or launch count. It changes what the list shows, never Launcher.ini, and is
// remembered with the window's settings.
class ListOrder : public QObject
{
    Q_OBJECT

public:
    ListOrder(QWidget *window, ProfileDocument *document, ProfileQListWidget *list,
              ProfileCompanions *companions);

    // "Sort By ▸", for the list's menu.
    QMenu *Menu() const { return menu; }
    ProfileOrder Chosen() const { return chosen; }
    void Choose(ProfileOrder order);

private:
    ProfileDocument *document;
    ProfileQListWidget *list;
    ProfileCompanions *companions;
    QMenu *menu = nullptr;
    QActionGroup *group = nullptr;
    ProfileOrder chosen = ProfileOrder::Stored;
};
