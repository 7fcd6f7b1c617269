// The stand-in Velmora Mobile Emulator: a window titled with the profile name, sized by
// -windowsize, that lists what it was started with. With VELMORA_EMU_RECORD naming a file it
// only appends its arguments to that file as one JSON array and exits; with
// VELMORA_EMU_RECORD_ENVIRONMENT naming a file it first appends the desktop-activation
// variables it was given there (and those VELMORA_EMU_RECORD_NAMES lists), as one JSON object.
// VELMORA_EMU_BEHAVE makes it act as the tests of running emulators need, without a window:
// "exit:CODE" prints 25 numbered lines and exits with CODE, "silent:CODE" exits with CODE and
// prints nothing, "stay" waits until it is ended, "child" starts a child that waits too and then
// waits itself.

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollArea>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <ctime>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

int Append(const QString &path, const QByteArray &line);

struct Options
{
    QString profileName;
    QSize windowSize;
    QString ppi;
};

Options ParseOptions(const QStringList &arguments)
{
    Options options;
    static const QRegularExpression size(QStringLiteral("^([0-9]+)x([0-9]+)$"));
    for (int i = 0; i + 1 < arguments.size(); ++i) {
        const QString &key = arguments.at(i);
        const QString &value = arguments.at(i + 1);
        if (key == QLatin1String("-profile-name")) {
            options.profileName = value;
        } else if (key == QLatin1String("-ppi")) {
            options.ppi = value;
        } else if (key == QLatin1String("-windowsize")) {
            const QRegularExpressionMatch match = size.match(value);
            if (match.hasMatch())
                options.windowSize = QSize(match.captured(1).toInt(), match.captured(2).toInt());
        }
    }
    return options;
}

int Record(const QString &path, const QStringList &arguments)
{
    QJsonArray array;
    for (const QString &argument : arguments)
        array.append(argument);
    return Append(path, QJsonDocument(array).toJson(QJsonDocument::Compact) + '\n');
}

// The desktop-activation variables the emulator was started with, as one JSON object.
int RecordEnvironment(const QString &path)
{
    QJsonObject variables;
    QStringList names{"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"};
    // And those a test names: a profile's environment.
    names += qEnvironmentVariable("VELMORA_EMU_RECORD_NAMES").split(u',', Qt::SkipEmptyParts);
    for (const QString &name : std::as_const(names)) {
        if (qEnvironmentVariableIsSet(name.toLocal8Bit().constData()))
            variables.insert(name, qEnvironmentVariable(name.toLocal8Bit().constData()));
    }
    return Append(path, QJsonDocument(variables).toJson(QJsonDocument::Compact) + '\n');
}

int Append(const QString &path, const QByteArray &line)
{
    QFile file(path);
    // One write in append mode, so emulators started together do not mix their lines.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size()) {
        qWarning("VelmoraMobileEmu: cannot record to %s", qPrintable(path));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    if (const char *started = std::getenv("VELMORA_EMU_STARTED")) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        char line[64];
        const int n = std::snprintf(line, sizeof line, "%.3f\n",
                                    double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6);
        const int fd = ::open(started, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) {
            if (::write(fd, line, size_t(n)) != n)
                std::perror(started);
            ::close(fd);
        }
    }
#endif
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    const QByteArray behave = qgetenv("VELMORA_EMU_BEHAVE");
    if (behave.startsWith("exit:")) {
        for (int line = 1; line <= 25; ++line)
            std::printf("output line %d\n", line);
        std::fprintf(stderr, "VelmoraMobileEmu: giving up on purpose\n");
        return std::atoi(behave.constData() + 5);
    }
    if (behave.startsWith("silent:"))
        return std::atoi(behave.constData() + 7);
#ifdef Q_OS_UNIX
    if (behave == "stay" || behave == "child") {
        if (behave == "child" && ::fork() == 0) {
            for (;;)
                ::pause();
        }
        for (;;)
            ::pause();
    }
#endif

    const QString environment = qEnvironmentVariable("VELMORA_EMU_RECORD_ENVIRONMENT");
    if (!environment.isEmpty() && RecordEnvironment(environment) != 0)
        return 1;
    const QString record = qEnvironmentVariable("VELMORA_EMU_RECORD");
    if (!record.isEmpty())
        return Record(record, arguments);

    QApplication app(argc, argv);
    const Options options = ParseOptions(arguments);

    QWidget window;
    window.setWindowTitle(options.profileName.isEmpty() ? QStringLiteral("Velmora Mobile Emulator")
                                                        : options.profileName);
    auto *layout = new QVBoxLayout(&window);
    auto *density = new QLabel(options.ppi.isEmpty()
                                   ? QStringLiteral("Pixel density: default")
                                   : QStringLiteral("Pixel density: %1 ppi").arg(options.ppi));
    density->setTextFormat(Qt::PlainText);
    layout->addWidget(density);
    QStringList lines;
    for (int i = 0; i < arguments.size(); ++i)
        lines.append(QStringLiteral("%1: %2").arg(i + 1).arg(arguments.at(i)));
    auto *list = new QLabel(lines.isEmpty() ? QStringLiteral("No arguments.")
                                            : QStringLiteral("Arguments:\n") + lines.join('\n'));
    list->setTextFormat(Qt::PlainText);
    list->setTextInteractionFlags(Qt::TextSelectableByMouse);
    list->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    auto *scroll = new QScrollArea;
    scroll->setWidget(list);
    scroll->setWidgetResizable(true);
    layout->addWidget(scroll, 1);

    if (options.windowSize.isValid() && !options.windowSize.isEmpty())
        window.resize(options.windowSize);
    else
        window.resize(480, 800);
    window.show();
    return app.exec();
}
