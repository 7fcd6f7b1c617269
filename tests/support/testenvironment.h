#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// Every test process runs in a home of its own: HOME and the XDG directories point into a
// temporary directory, so no test ever reads or writes the real user's files.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    // The environment the test's main() set up.
    static TestEnvironment *current();

    QString root() const { return dir.path(); }
    QString dataHome() const { return root() + QStringLiteral("/data"); }
    QString runtimeDir() const { return root() + QStringLiteral("/runtime"); }
    // Where the launcher keeps the user's Launcher.ini below this home.
    QString userConfigPath() const;

private:
    QTemporaryDir dir;
};

// Ends the process groups of every emulator the launcher recorded under this test's home (each
// checked to be still the recorded process), so that a test that fails before its own stop
// leaves none running.
void EndRecordedEmulators();

inline bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Builds the application object (`Application`) after the environment is in place and runs
// the test object.
#define VELMORA_TEST_MAIN_WITH(Application, TestObject)                                            \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestEnvironment environment;                                                               \
        Application app(argc, argv);                                                               \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
#define VELMORA_TEST_MAIN(TestObject) VELMORA_TEST_MAIN_WITH(QApplication, TestObject)
// For suites that need no widgets.
#define VELMORA_GUILESS_TEST_MAIN(TestObject) VELMORA_TEST_MAIN_WITH(QCoreApplication, TestObject)
