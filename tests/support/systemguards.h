#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

#include <utility>

// Makes a path unusable for the code under test: a directory unwritable, or a file unreadable
// (`mode` is applied to `path`). As root, permissions stop nothing, so the test then acts as
// "nobody" until the guard ends.
class RestrictedPath
{
public:
    RestrictedPath(const QString &path, mode_t mode);
    ~RestrictedPath();
    // Whether the restriction holds for this process (false only if dropping root failed).
    bool effective() const;

private:
    QString path;
    mode_t savedMode = 0;
    bool dropped = false;
    QList<std::pair<QString, mode_t>> opened;
};

// A directory that cannot take new files.
class ReadOnlyDirectory : public RestrictedPath
{
public:
    explicit ReadOnlyDirectory(const QString &dir) : RestrictedPath(dir, 0555) {}
};
