// The German catalogue: complete, current with the code, and used by the window.

#include "earlyendnotice.h"
#include "emulatormonitor.h"
#include "instances.h"
#include "mainwindow.h"
#include "runningemulatorsview.h"
#include "testenvironment.h"
#include "translations.h"
#include "windowparts.h"

#include <QApplication>
#include <QDomDocument>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
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
    for (const char *part : {"config", "launch", "document", "app", "ui", "main.cpp"})
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
        QCOMPARE(parts.help->text(), QStringLiteral("&Hilfe"));
        QCOMPARE(parts.addUpdate->text(), QStringLiteral("Hin&zufügen"));
        QCOMPARE(FormLabels(&window),
                 (QStringList{"Auf&lösung", "&Pixeldichte", "Ein&gabe", "&Argumente"}));
        // Numbers in texts follow the locale: an emulator that quit after 0.2 s.
        const QDateTime started = QDateTime::currentDateTime().addMSecs(-200);
        emit window.Running()->Monitor()->endedEarly(
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
#include "tst_translations.moc"
