#include "configformat.h"
#include "configformat_p.h"

// Writing a model as a Launcher.ini: straight into UTF-8, a piece at a time, with the user's
// comments where they stood.

namespace {

// Appends text as UTF-8. Configuration text is nearly all ASCII, which is copied byte for byte;
// only a piece holding anything else goes through the converter.
void AppendUtf8(QByteArray &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= 0x80) {
            out += text.sliced(i).toUtf8();
            return;
        }
        out += char(c);
    }
}

} // namespace

LauncherConfig DefaultsOnlyConfig()
{
    LauncherConfig config;
    ParseConfigText(QStringView(), config);
    return config;
}

bool FormatConfigUtf8(const LauncherConfig &config, const std::function<bool(QByteArrayView)> &sink)
{
    // Written at every change, so straight into the bytes that go to the disk: no text of the
    // whole file in UTF-16 first, and no more than a piece of it at a time.
    constexpr qsizetype Piece = 256 * 1024;
    QByteArray out;
    out.reserve(Piece + 4096);
    const auto flushIfFull = [&out, &sink] {
        if (out.size() < Piece)
            return true;
        const bool taken = sink(out);
        out.clear();
        out.reserve(Piece + 4096);
        return taken;
    };
    const auto appendEntry = [&out](QStringView name, QStringView value) {
        out += '"';
        AppendUtf8(out, name);
        out += "\"\t\"";
        AppendUtf8(out, value);
        out += "\"\n";
    };

    // A user's comments are looked up only when there are any: a file without them is written
    // exactly as it always was.
    const QList<ConfigComment> &comments = config.comments;
    const auto appendLines = [&out](const ConfigComment &comment) {
        for (const QString &line : comment.lines) {
            AppendUtf8(out, line);
            out += '\n';
        }
    };
    const auto appendComments = [&](ConfigComment::Place place, int section) {
        for (const ConfigComment &comment : comments) {
            if (comment.place == place &&
                (place == ConfigComment::BeforeVersion || comment.section == section))
                appendLines(comment);
        }
    };
    // The comments before an entry go before the first entry of their name; those whose entry
    // is gone (a profile removed or renamed outside the launcher) end the section, and find it
    // again should it come back.
    QHash<QString, QList<const ConfigComment *>> beforeEntry;
    const auto appendCommentsBefore = [&](const QString &name) {
        if (beforeEntry.isEmpty())
            return;
        const auto found = beforeEntry.constFind(name);
        if (found == beforeEntry.cend())
            return;
        for (const ConfigComment *comment : *found)
            appendLines(*comment);
        beforeEntry.erase(found);
    };

    for (const char *line : ConfigHeaderComment) {
        out += line;
        out += '\n';
    }
    out += '\n';
    appendComments(ConfigComment::BeforeVersion, -1);
    out += "$VERSION\t";
    out += QByteArray::number(ConfigFormatVersion);
    out += "\n\n";
    for (int s = 0; s < config.sections.size(); ++s) {
        const ConfigSection &section = config.sections.at(s);
        if (!comments.isEmpty()) {
            appendComments(ConfigComment::BeforeHeader, s);
            beforeEntry.clear();
            for (const ConfigComment &comment : comments) {
                if (comment.place == ConfigComment::BeforeEntry && comment.section == s)
                    beforeEntry[comment.entry].append(&comment);
            }
        }
        AppendUtf8(out, section.header);
        out += '\n';
        if (s == SectionProfile) {
            for (const LauncherProfile &profile : config.profiles) {
                appendCommentsBefore(profile.name);
                appendEntry(profile.name, config.ProfileValueText(profile));
                if (!flushIfFull())
                    return false;
            }
        } else {
            for (const ConfigEntry &entry : section.entries) {
                appendCommentsBefore(entry.name);
                appendEntry(entry.name, entry.value);
                if (!flushIfFull())
                    return false;
            }
        }
        if (!comments.isEmpty()) {
            // In the order they were read.
            for (const ConfigComment &comment : comments) {
                if (comment.place == ConfigComment::BeforeEntry && comment.section == s &&
                    beforeEntry.contains(comment.entry))
                    appendLines(comment);
            }
            appendComments(ConfigComment::SectionEnd, s);
        }
        out += '\n';
    }
    return out.isEmpty() || sink(out);
}

QByteArray FormatConfigUtf8(const LauncherConfig &config)
{
    qsizetype size = 512;
    for (const ConfigSection &section : config.sections) {
        size += section.header.size() + 2;
        if (&section != &config.sections.first()) {
            for (const ConfigEntry &entry : section.entries)
                size += entry.name.size() + entry.value.size() + 6;
        }
    }
    for (const LauncherProfile &profile : config.profiles)
        size += profile.name.size() + profile.arguments.size() + 64;
    QByteArray whole;
    whole.reserve(size);
    FormatConfigUtf8(config, [&whole](QByteArrayView piece) {
        whole += piece;
        return true;
    });
    return whole;
}

QString FormatConfigText(const LauncherConfig &config)
{
    return QString::fromUtf8(FormatConfigUtf8(config));
}
