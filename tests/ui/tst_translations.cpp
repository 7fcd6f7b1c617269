// The German catalogue: complete, current with the code, and used by the window.

#include "earlyendnotice.h"
#include "emulatorcontrol.h"
#include "emulatorlauncher.h"
#include "emulatormonitor.h"
#include "exchangedialogs.h"
#include "filelocations.h"
#include "launchrecords.h"
#include "logviewer.h"
#include "mainwindow.h"
#include "profilelistactions.h"
#include "runningemulatorsview.h"
#include "runningpanel.h"
#include "testenvironment.h"
#include "translations.h"
#include "windowparts.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDomDocument>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <functional>

namespace {

struct Message
{
    QString context;
    QString source;
    bool numerus = false;
    bool finished = false;
};

QList<Message> ReadCatalogue(const QString &path)
{
    QList<Message> messages;
    QDomDocument document;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
        return messages;
    for (QDomElement context = document.documentElement().firstChildElement("context");
         !context.isNull(); context = context.nextSiblingElement("context")) {
        const QString name = context.firstChildElement("name").text();
        for (QDomElement message = context.firstChildElement("message"); !message.isNull();
             message = message.nextSiblingElement("message")) {
            const QDomElement translation = message.firstChildElement("translation");
            messages.append({name, message.firstChildElement("source").text(),
                             message.attribute("numerus") == "yes",
                             translation.attribute("type").isEmpty() &&
                                 !translation.text().trimmed().isEmpty()});
        }
    }
    return messages;
}

const QString catalogue = QStringLiteral(VELMORA_SOURCE_DIR "/translations/launcher_de.ts");

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void everyTextIsTranslated();
    void catalogueHasEveryTextOfTheCode();
    void windowSpeaksGerman();
    void helpPagesNameWhatTheWindowsSay_data();
    void helpPagesNameWhatTheWindowsSay();
};

void TestTranslations::everyTextIsTranslated()
{
    const QList<Message> messages = ReadCatalogue(catalogue);
    QVERIFY(messages.size() > 50);
    QTranslator german;
    QVERIFY(german.load(QStringLiteral(":/i18n/launcher_de.qm")));
    for (const Message &message : messages) {
        QVERIFY2(message.finished, qPrintable(message.source));
        const QString translated =
            german.translate(qPrintable(message.context), qPrintable(message.source), nullptr,
                             message.numerus ? 2 : -1);
        QVERIFY2(!translated.isEmpty(), qPrintable(message.source));
    }
}

// A text added to the code without a translation is found: lupdate run over the sources now
// gives exactly the texts the catalogue holds.
void TestTranslations::catalogueHasEveryTextOfTheCode()
{
    QTemporaryDir dir;
    const QString fresh = dir.path() + QStringLiteral("/fresh.ts");
    QProcess lupdate;
    QStringList arguments = {QStringLiteral("-extensions"), QStringLiteral("cpp,h")};
    for (const char *part : {"config", "launch", "document", "companions", "app", "ui", "main.cpp"})
        arguments.append(QStringLiteral(VELMORA_SOURCE_DIR "/") + QLatin1String(part));
    arguments << QStringLiteral("-ts") << fresh;
    lupdate.start(QStringLiteral(VELMORA_LUPDATE), arguments);
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);

    const auto keys = [](const QList<Message> &messages) {
        QStringList list;
        for (const Message &message : messages)
            list.append(message.context + QStringLiteral(" | ") + message.source);
        list.sort();
        return list;
    };
    QCOMPARE(keys(ReadCatalogue(catalogue)), keys(ReadCatalogue(fresh)));
}

void TestTranslations::windowSpeaksGerman()
{
    QVERIFY(WriteBytes(DefaultConfigPath(), ShippedDefaultConfig()));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY(InstallTranslations(qApp));
    {
        MainWindow window;
        WindowParts parts(window);
        QCOMPARE(parts.launch->text(), QStringLiteral("&Starten"));
        // Help opens the German page where there is one beside the launcher.
        const QString german = AppDirFilePath(QStringLiteral("LauncherHelp.de.html"));
        QCOMPARE(HelpPagePath(), GetFilePath(HelpFile));
        QVERIFY(WriteBytes(german, "<html lang=\"de\"></html>"));
        QCOMPARE(HelpPagePath(), german);
        QVERIFY(QFile::remove(german));
        QCOMPARE(parts.help->text(), QStringLiteral("&Hilfe"));
        QCOMPARE(parts.addUpdate->text(), QStringLiteral("Hin&zufügen"));
        QCOMPARE(FormLabels(&window),
                 (QStringList{"Auf&lösung", "&Pixeldichte", "Ein&gabe", "&Argumente"}));
        // Numbers in texts follow the locale: an emulator that quit after 0.2 s.
        const QDateTime started = QDateTime::currentDateTime().addMSecs(-200);
        emit window.Launcher()->Monitor()->endedEarly(
            {QStringLiteral("Telefon"), 1, QString(), started, QString()}, QString());
        auto *notice = window.findChild<EarlyEndNotice *>();
        QVERIFY(notice);
        QVERIFY2(QRegularExpression(" \\d,\\d Sekunden ").match(notice->Text()).hasMatch(),
                 qPrintable(notice->Text()));
        notice->close();
        // Undo and Redo name their step in German too: each step's verb as well.
        const QString second = window.Config().profiles.at(1).name;
        const auto undoText = [&window] {
            for (QAction *action : window.actions()) {
                if (action->shortcuts().contains(QKeySequence::Undo))
                    return action->text();
            }
            return QString();
        };
        const QList<std::pair<std::function<void()>, QString>> steps = {
            {[&] { window.Document()->RenameProfile(second, "Zweites"); },
             QString("&Rückgängig: „%1“ in „Zweites“ umbenennen").arg(second)},
            {[&] { window.Document()->MoveProfile("Zweites", 2); },
             QString("&Rückgängig: „Zweites“ verschieben")},
            {[&] { window.Document()->RemoveProfile("Zweites"); },
             QString("&Rückgängig: „Zweites“ entfernen")},
            {[&] {
                 window.Document()->AddOption(SectionResolution, {"Breit", " -w"});
             },
             QString("&Rückgängig: Auflösung „Breit“ hinzufügen")},
        };
        for (const auto &[step, text] : steps) {
            step();
            QCOMPARE(undoText(), text);
        }
        window.Document()->WaitForSaves();
    }
    for (QTranslator *translator : qApp->findChildren<QTranslator *>())
        QCoreApplication::removeTranslator(translator);
    QLocale::setDefault(QLocale::c());
    // Without a German locale every text is the English one.
    MainWindow english;
    QCOMPARE(WindowParts(english).launch->text(), QStringLiteral("&Launch"));
}

VELMORA_TEST_MAIN(TestTranslations)
void TestTranslations::helpPagesNameWhatTheWindowsSay_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("german");
    QTest::newRow("English") << "LauncherHelp.html" << false;
    QTest::newRow("German") << "LauncherHelp.de.html" << true;
}

// Each text the help page marks as the window's own (class "ui") is one that a window of the
// launcher shows, in the page's language: a renamed button fails here, not in a user's hands.
void TestTranslations::helpPagesNameWhatTheWindowsSay()
{
    QFETCH(QString, page);
    QFETCH(bool, german);
    QVERIFY(WriteBytes(DefaultConfigPath(), ShippedDefaultConfig()));
    if (german) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(InstallTranslations(qApp));
    }
    QSet<QString> shown;
    const auto note = [&shown](QString text) {
        text.remove(QLatin1Char('&')).remove(QChar(0x2026));
        text = text.trimmed();
        if (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        shown.insert(text);
    };
    const auto collect = [&note](QWidget *window) {
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
            note(button->text());
        for (QLabel *label : window->findChildren<QLabel *>())
            note(label->text());
        for (QGroupBox *group : window->findChildren<QGroupBox *>())
            note(group->title());
        QList<QWidget *> all = window->findChildren<QWidget *>();
        all.append(window);
        for (QWidget *widget : std::as_const(all)) {
            for (QAction *action : widget->actions())
                note(action->text());
        }
        note(window->windowTitle());
    };
    {
        MainWindow window;
        WindowParts parts(window);
        collect(&window);
        // The profile button's other state, and the menu's Undo and Redo without a step.
        parts.profiles->setCurrentRow(1);
        collect(&window);
        window.Control()->OpenRunningPanel();
        collect(window.findChild<RunningPanel *>());
        const QString log = TestEnvironment::current()->root() + "/help-page.log";
        QVERIFY(WriteBytes(log, "a line\n"));
        collect(LogViewer::Open(&window, "Phone", log));
        emit window.Launcher()->Monitor()->endedEarly(
            {QStringLiteral("Phone"), 1, QString(), QDateTime::currentDateTime(), log}, QString());
        collect(window.findChild<EarlyEndNotice *>());
    }
    for (QTranslator *translator : qApp->findChildren<QTranslator *>())
        QCoreApplication::removeTranslator(translator);
    QLocale::setDefault(QLocale::c());

    const QString html =
        QString::fromUtf8(ReadBytes(QStringLiteral(VELMORA_SOURCE_DIR "/data/") + page));
    static const QRegularExpression marked(QStringLiteral("<b class=\"ui\">([^<]+)</b>"));
    int named = 0;
    for (const QRegularExpressionMatch &match : marked.globalMatch(html)) {
        const QString text = match.captured(1).replace("&amp;", "&");
        QVERIFY2(shown.contains(text),
                 qPrintable("\"" + text + "\" is in no window of the launcher"));
        ++named;
    }
    QVERIFY(named > 30);
}

#include "tst_translations.moc"
