#pragma once

// What the document's suites share: a Launcher.ini of four profiles with comments a user typed,
// a document over it, and ways to describe, edit and change it from outside.

#include "configfile.h"
#include "configformat.h"
#include "devicecatalogue.h"
#include "drivenwriter.h"
#include "profiledocument.h"
#include "testenvironment.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

using Edit = std::function<ProfileDocument::EditResult(ProfileDocument &)>;
using Outside = std::function<void(LauncherConfig &)>;
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(Outside)
Q_DECLARE_METATYPE(ProfileDocument::EditResult)

// Default, A, B and C over three resolutions, two densities and two inputs.
inline LauncherConfig Model()
{
    LauncherConfig config;
    config.ResetSections();
    config.AppendEntry(SectionResolution, "Phone", " -windowsize 480x800");
    config.AppendEntry(SectionResolution, "Tablet", " -windowsize 800x1280");
    config.AppendEntry(SectionResolution, "HD", " -windowsize 720x1280");
    config.AppendEntry(SectionPixelDensity, "Low", " -ppi 120");
    config.AppendEntry(SectionPixelDensity, "High", " -ppi 320");
    config.AppendEntry(SectionInput, "Touch", "");
    config.AppendEntry(SectionInput, "Keys", " -keys");
    config.profiles = {{"Default", "", {0, 0, 0}},
                       {"A", " -a", {1, 1, 0}},
                       {"B", " -b", {2, 0, 1}},
                       {"C", "", {2, 1, 0}}};
    return config;
}

// "name:resolution/density/input:arguments | ... || entries | entries | entries", options by
// entry name, so that a wrong position shows as the wrong name; blanks in the arguments as the
// file keeps them.
inline QString Describe(const LauncherConfig &config)
{
    QStringList profiles;
    for (const LauncherProfile &profile : config.profiles) {
        QStringList options;
        for (int s = 1; s <= OptionSectionCount; ++s) {
            const int index = profile.optionIndex.value(s - 1, -1);
            options.append(config.HasEntry(s, index) ? config.sections.at(s).entries.at(index).name
                                                     : QStringLiteral("?"));
        }
        profiles.append(profile.name + ':' + options.join('/') + ':' +
                        profile.arguments.simplified());
    }
    QStringList entries;
    for (int s = 1; s <= OptionSectionCount; ++s)
        entries.append(config.EntryNames(s).join(','));
    return profiles.join(QStringLiteral(" | ")) + QStringLiteral(" || ") +
           entries.join(QStringLiteral(" | "));
}

inline const QString Initial =
    "Default:Phone/Low/Touch: | A:Tablet/High/Touch:-a | B:HD/Low/Keys:-b | "
    "C:HD/High/Touch: || Phone,Tablet,HD | Low,High | Touch,Keys";

inline ProfileSettings Settings(const QList<int> &positions, const QString &arguments)
{
    return ProfileSettings::Of(Model(), positions, arguments);
}

inline const ConfigEntry HD{"HD", " -windowsize 720x1280"};

// A document over a Launcher.ini of Model() in this test's home.
struct Fixture
{
    QString path = TestEnvironment::current()->root() + QStringLiteral("/doc/Launcher.ini");
    ProfileDocument document{path, path + QStringLiteral(".default")};

    Fixture()
    {
        QFile::remove(path);
        // With comments a user typed: every step writes them back.
        LauncherConfig model = Model();
        model.comments = {{ConfigComment::BeforeEntry, SectionProfile, "B", {"# about B"}},
                          {ConfigComment::SectionEnd, SectionResolution, {}, {"# by hand"}}};
        WriteBytes(path, FormatConfigUtf8(model));
        document.Read(path, true);
    }
    QString Now() const { return Describe(document.Config()); }
    // What is on disk once every save has landed.
    QString OnDisk()
    {
        document.WaitForSaves();
        const ConfigLoadResult read = LoadConfigFile(path);
        if (read.status != ConfigLoadResult::Loaded)
            return QStringLiteral("unreadable");
        const QByteArray bytes = ReadBytes(path);
        const bool commentsKept =
            bytes.contains("\n# about B\n") && bytes.contains("\n# by hand\n\n[PixelDensity]\n");
        return Describe(read.config) + (commentsKept ? "" : " (comments lost)");
    }
    // With `noticed` false the document is not told: the step that follows finds the file
    // changed by itself, as one made before the watcher spoke does.
    void EditOutside(const Outside &edit, bool noticed = true)
    {
        document.WaitForSaves();
        LauncherConfig theirs = document.Config();
        edit(theirs);
        QVERIFY(WriteBytes(path, FormatConfigUtf8(theirs)));
        if (noticed)
            document.TakeInOutsideChange();
    }
};

// An import whose answers apply at once. Where nothing changed outside, it ends at once; else
// it first waits for that change, which `mayWait` allows.
inline ProfileDocument::ImportOutcome Imported(ProfileDocument &document, const QString &file,
                                               const ProfileDocument::ImportDecider &decide,
                                               bool mayWait = false)
{
    ProfileDocument::ImportOutcome outcome;
    bool done = false;
    document.Import(file, decide, [&](const ProfileDocument::ImportOutcome &o) {
        outcome = o;
        done = true;
    });
    if (!done && !mayWait)
        qWarning("the import waited");
    if (!QTest::qWaitFor([&done] { return done; }, 5000))
        qWarning("the import never ended");
    return outcome;
}

inline void RemoveProfileNamed(LauncherConfig &config, const QString &name)
{
    config.RemoveProfile(config.FindProfile(name));
}
