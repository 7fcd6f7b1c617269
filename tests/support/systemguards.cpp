#include "systemguards.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}
} // namespace

RestrictedPath::RestrictedPath(const QString &p, mode_t mode) : path(p)
{
    struct stat st;
    if (::stat(Native(path).constData(), &st) == 0)
        savedMode = st.st_mode & 07777;
    ::chmod(Native(path).constData(), mode);
    if (::geteuid() == 0) {
        // Let "nobody" walk down to the path (our group is still root's, so the group needs
        // the same bits as others).
        for (QString parent = QFileInfo(path).absolutePath(); parent.size() > 1;
             parent = QFileInfo(parent).absolutePath()) {
            if (::stat(Native(parent).constData(), &st) == 0 && (st.st_mode & 0055) != 0055) {
                opened.append({parent, st.st_mode & 07777});
                ::chmod(Native(parent).constData(), (st.st_mode & 07777) | 0055);
            }
        }
        dropped = ::seteuid(65534) == 0;
    }
}

RestrictedPath::~RestrictedPath()
{
    if (dropped)
        (void)::seteuid(0);
    for (const auto &[parent, mode] : opened)
        ::chmod(Native(parent).constData(), mode);
    ::chmod(Native(path).constData(), savedMode);
}

bool RestrictedPath::effective() const
{
    return ::geteuid() != 0;
}

ResourceLimit::ResourceLimit(int r, rlim_t limit) : resource(r), soft(limit)
{
    if (::getrlimit(resource, &saved) == 0)
        set();
}

ResourceLimit::~ResourceLimit()
{
    lift();
}

void ResourceLimit::set()
{
    struct rlimit lowered = saved;
    lowered.rlim_cur = soft;
    applied = ::setrlimit(resource, &lowered) == 0;
}

void ResourceLimit::lift()
{
    if (applied)
        applied = ::setrlimit(resource, &saved) != 0;
}

SignalDisposition::SignalDisposition(int s, void (*handler)(int)) : signal(s)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, &saved);
}

SignalDisposition::~SignalDisposition()
{
    ::sigaction(signal, &saved, nullptr);
}
