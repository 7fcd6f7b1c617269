// Reads arbitrary bytes as a Launcher.ini, writes the model, and reads that back: the second
// read must give the same model as the first.

#include "configformat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

LauncherConfig Load(const QByteArray &bytes)
{
    LauncherConfig config;
    ParseConfigSections(DecodeConfigText(bytes), config);
    config.EnsureDefaultEntries();
    BuildProfiles(config);
    return config;
}

[[noreturn]] void Mismatch(const char *what, const QString &written)
{
    std::fprintf(stderr, "round trip changed %s; written file:\n%s\n", what,
                 written.toUtf8().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    LauncherConfig first = Load(bytes);
    const QString written = FormatConfigText(first);

    LauncherConfig second;
    const int version = ParseConfigSections(DecodeConfigText(written.toUtf8()), second);
    if (version != ConfigFormatVersion)
        Mismatch("the version", written);
    second.EnsureDefaultEntries();
    BuildProfiles(second);

    if (second.profiles != first.profiles)
        Mismatch("the profiles", written);
    for (int s = 0; s < SectionCount; ++s) {
        if (second.sections.at(s).entries != first.sections.at(s).entries)
            Mismatch("a section", written);
    }
    return 0;
}
