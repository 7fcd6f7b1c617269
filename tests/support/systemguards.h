#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <csignal>
#include <optional>
#include <sys/resource.h>
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

// Lowers a resource limit (the soft one) while it lives and puts the old limits back when it
// goes, on every path out of a test, so that a failing check cannot leave a 64-byte file limit
// to the next test.
class ResourceLimit
{
public:
    ResourceLimit(int resource, rlim_t soft);
    ~ResourceLimit();
    ResourceLimit(const ResourceLimit &) = delete;
    ResourceLimit &operator=(const ResourceLimit &) = delete;
    bool effective() const { return applied; }
    // Lifts the limit early (back to what it was); set() lowers it again.
    void lift();
    void set();

private:
    int resource;
    rlim_t soft;
    struct rlimit saved = {};
    bool applied = false;
};

// Sets what a signal does while it lives, and puts back what it did before when it goes.
class SignalDisposition
{
public:
    SignalDisposition(int signal, void (*handler)(int));
    ~SignalDisposition();
    SignalDisposition(const SignalDisposition &) = delete;
    SignalDisposition &operator=(const SignalDisposition &) = delete;

private:
    int signal;
    struct sigaction saved = {};
};

// Sets an environment variable while it lives and puts back what was there when it goes.
class EnvironmentVariable
{
public:
    EnvironmentVariable(const char *name, const QByteArray &value)
        : name(name), had(qEnvironmentVariableIsSet(name)), before(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentVariable()
    {
        if (had)
            qputenv(name, before);
        else
            qunsetenv(name);
    }
    EnvironmentVariable(const EnvironmentVariable &) = delete;
    EnvironmentVariable &operator=(const EnvironmentVariable &) = delete;

private:
    const char *name;
    bool had;
    QByteArray before;
};
