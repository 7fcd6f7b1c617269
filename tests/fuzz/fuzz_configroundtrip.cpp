// Reads arbitrary bytes as a Launcher.ini, writes the model, and reads that back: the second
// read must give the same model as the first. Bytes that the UTF-8 scan takes must give what
// decoding the whole text gives, comments included; what is written once is written the same
// way again.

#include "configformat.h"

#include <cstdint>

namespace {

LauncherConfig Load(const QByteArray &bytes, int *version = nullptr)
{
    LauncherConfig config;
    const int found = ParseConfigText(DecodeConfigText(bytes), config);
    if (version)
        *version = found;
    return config;
}

[[noreturn]] void Mismatch(const char *what, const QString &written)
{
    qFatal("round trip changed %s; written file:\n%s", what, written.toUtf8().constData());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const LauncherConfig first = Load(bytes);
    const QString written = FormatConfigText(first);

    if (const std::optional<ScannedConfigText> scanned = ScanConfigUtf8(bytes)) {
        if (ReadProfiles(*scanned) != first.profiles)
            Mismatch("the profiles when scanned as UTF-8", written);
        if (scanned->config.comments != first.comments)
            Mismatch("the comments when scanned as UTF-8", written);
        for (int s = 1; s < SectionCount; ++s) {
            if (scanned->config.sections.at(s).entries != first.sections.at(s).entries)
                Mismatch("a section when scanned as UTF-8", written);
        }
    }

    int version = 0;
    const LauncherConfig second = Load(written.toUtf8(), &version);
    if (version != ConfigFormatVersion)
        Mismatch("the version", written);

    if (second.profiles != first.profiles)
        Mismatch("the profiles", written);
    // [Profile] is written from the profiles, compared above; the option sections as read.
    for (int s = 1; s < SectionCount; ++s) {
        if (second.sections.at(s).entries != first.sections.at(s).entries)
            Mismatch("a section", written);
    }
    // Comments read back are written back where they were.
    if (FormatConfigText(second) != written)
        Mismatch("the written text on the second write", written);
    return 0;
}
