#include "jsonoutput.h"

#include "commandline.h"
#include "launchrecords.h"

#include <QTextStream>

#include <algorithm>

void WriteJsonString(QTextStream &out, const QString &text)
{
    out << '"';
    qsizetype plain = 0; // the start of the run of characters that need no escape
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\')
            continue;
        out << QStringView(text).sliced(plain, i - plain);
        plain = i + 1;
        switch (c) {
        case u'"':
            out << "\\\"";
            break;
        case u'\\':
            out << "\\\\";
            break;
        case u'\n':
            out << "\\n";
            break;
        case u'\r':
            out << "\\r";
            break;
        case u'\t':
            out << "\\t";
            break;
        case u'\b':
            out << "\\b";
            break;
        case u'\f':
            out << "\\f";
            break;
        default:
            out << QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
        }
    }
    out << QStringView(text).sliced(plain) << '"';
}

namespace {

void WriteJsonEntry(QTextStream &out, const LauncherConfig &config, int section, int position)
{
    if (!config.HasEntry(section, position)) {
        out << "null";
        return;
    }
    const ConfigEntry &entry = config.sections.at(section).entries.at(position);
    out << "{\n            \"name\": ";
    WriteJsonString(out, entry.name);
    out << ",\n            \"value\": ";
    WriteJsonString(out, entry.value);
    out << "\n        }";
}

} // namespace

void WriteProfilesJson(QTextStream &out, const LauncherConfig &config, const QString &emulator,
                       const ExtrasMap &extras, const QHash<QString, ProfileUse> &use,
                       const QString &tag)
{
    bool first = true;
    out << "[\n";
    for (qsizetype p = 0; p < config.profiles.size(); ++p) {
        const LauncherProfile &profile = config.profiles.at(p);
        const ProfileExtras carried = extras.value(profile.name);
        if (!tag.isEmpty() && !HasTag(carried, tag))
            continue;
        const SplitCommand command =
            EmulatorCommand(emulator, config, profile.optionIndex, profile.name, profile.arguments);
        const ProfileUse used = use.value(profile.name);
        out << (first ? "    {\n        \"arguments\": " : ",\n    {\n        \"arguments\": ");
        first = false;
        WriteJsonString(out, profile.arguments);
        out << ",\n        \"command\": [\n            ";
        WriteJsonString(out, command.program);
        for (const QString &argument : command.arguments) {
            out << ",\n            ";
            WriteJsonString(out, argument);
        }
        // As a JSON object writes it: its names in order.
        QList<std::pair<QString, QString>> environment = carried.environment;
        std::sort(environment.begin(), environment.end());
        out << "\n        ],\n        \"environment\": {\n";
        for (qsizetype i = 0; i < environment.size(); ++i) {
            out << "            ";
            WriteJsonString(out, environment.at(i).first);
            out << ": ";
            WriteJsonString(out, environment.at(i).second);
            out << (i + 1 < environment.size() ? ",\n" : "\n");
        }
        out << "        },\n        \"input\": ";
        WriteJsonEntry(out, config, SectionInput, profile.optionIndex.value(2, -1));
        out << ",\n        \"lastLaunched\": ";
        if (used.lastLaunched.isValid())
            WriteJsonString(out, LocalIsoTime(used.lastLaunched));
        else
            out << "null";
        out << ",\n        \"launchCount\": " << used.launchCount;
        out << ",\n        \"name\": ";
        WriteJsonString(out, profile.name);
        out << ",\n        \"notes\": ";
        WriteJsonString(out, carried.notes);
        out << ",\n        \"pixelDensity\": ";
        WriteJsonEntry(out, config, SectionPixelDensity, profile.optionIndex.value(1, -1));
        out << ",\n        \"resolution\": ";
        WriteJsonEntry(out, config, SectionResolution, profile.optionIndex.value(0, -1));
        out << ",\n        \"tags\": [\n";
        for (qsizetype i = 0; i < carried.tags.size(); ++i) {
            out << "            ";
            WriteJsonString(out, carried.tags.at(i));
            out << (i + 1 < carried.tags.size() ? ",\n" : "\n");
        }
        out << "        ]\n    }";
    }
    out << (first ? "]\n" : "\n]\n");
}

QString LocalIsoTime(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QLatin1Char(offset < 0 ? '-' : '+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

void WriteRunningJson(QTextStream &out, const QList<LaunchRecord> &records)
{
    out << "[";
    for (qsizetype r = 0; r < records.size(); ++r) {
        const LaunchRecord &record = records.at(r);
        out << (r ? ",\n" : "\n") << "    {\n        \"command\": [";
        for (qsizetype w = 0; w < record.command.size(); ++w) {
            out << (w ? ",\n            " : "\n            ");
            WriteJsonString(out, record.command.at(w));
        }
        out << (record.command.isEmpty() ? "],\n" : "\n        ],\n");
        // Only the start of a long command is kept; how long the whole one was.
        if (record.commandChars > 0)
            out << "        \"commandChars\": " << record.commandChars << ",\n";
        out << "        \"log\": ";
        WriteJsonString(out, record.log);
        out << ",\n        \"pid\": " << record.pid << ",\n        \"profile\": ";
        WriteJsonString(out, record.profile);
        out << ",\n        \"started\": ";
        WriteJsonString(out, LocalIsoTime(record.started));
        out << "\n    }";
    }
    out << (records.isEmpty() ? "]\n" : "\n]\n");
}
