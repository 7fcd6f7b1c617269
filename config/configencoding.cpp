#include "configformat.h"
#include "configformat_p.h"

#include <QStringDecoder>

// The encodings a Launcher.ini may come in: UTF-8, UTF-16 and UTF-32 with their marks, and the
// Windows code page 1252 of old launchers, line by line.

QString DecodeWindows1252(QByteArrayView bytes)
{
    // Code page 1252 of old Windows launchers. 0x80 to 0x9F; the five bytes the code page leaves
    // undefined keep their own value, as Windows itself maps them.
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(high[byte - 0x80]) : QChar(byte);
    }
    return text;
}

bool IsAscii(QByteArrayView bytes)
{
    // Without an early way out, so that the compiler can look at many bytes at once.
    unsigned char any = 0;
    for (const char c : bytes)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

void WidenAscii(QByteArrayView bytes, QString &out)
{
    out = QLatin1StringView(bytes);
}

QString DecodeConfigText(const QByteArray &bytes)
{
    struct Mark
    {
        QByteArrayView bytes;
        QStringConverter::Encoding encoding;
    };
    // UTF-32 LE first: its mark begins with the UTF-16 LE one.
    static const Mark marks[] = {
        {QByteArrayView("\xff\xfe\x00\x00", 4), QStringConverter::Utf32LE},
        {QByteArrayView("\x00\x00\xfe\xff", 4), QStringConverter::Utf32BE},
        {QByteArrayView("\xff\xfe", 2), QStringConverter::Utf16LE},
        {QByteArrayView("\xfe\xff", 2), QStringConverter::Utf16BE},
    };
    for (const Mark &mark : marks) {
        if (bytes.startsWith(mark.bytes)) {
            // The encoding's own mark is cut off above; a mark after it belongs to the first
            // line, which skips exactly one, as every line does.
            QStringDecoder decoder(mark.encoding, QStringConverter::Flag::Stateless |
                                                      QStringConverter::Flag::ConvertInitialBom);
            return decoder.decode(QByteArrayView(bytes).sliced(mark.bytes.size()));
        }
    }

    QByteArrayView rest(bytes);
    if (rest.startsWith("\xef\xbb\xbf"))
        rest = rest.sliced(3);
    // Stateless, so that a sequence cut off at the end counts as invalid.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(rest);
    if (!utf8.hasError())
        return text;

    // A file that an old Windows launcher wrote, perhaps with lines added in UTF-8 since: each
    // line is read in whichever of the two it is valid in.
    text.clear();
    text.reserve(rest.size());
    while (!rest.isEmpty()) {
        const qsizetype newline = rest.indexOf('\n');
        const qsizetype length = newline < 0 ? rest.size() : newline + 1;
        QByteArrayView line = rest.first(length);
        rest = rest.sliced(length);
        QStringDecoder lineDecoder(QStringConverter::Utf8,
                                   QStringConverter::Flag::Stateless |
                                       QStringConverter::Flag::ConvertInitialBom);
        const QString decoded = lineDecoder.decode(line);
        if (!lineDecoder.hasError()) {
            text += decoded;
            continue;
        }
        // A mark that starts a line of the old encoding is still a mark: the line skips it as
        // it would in a UTF-8 line.
        if (line.startsWith("\xef\xbb\xbf")) {
            text += QChar::ByteOrderMark;
            line = line.sliced(3);
        }
        text += DecodeWindows1252(line);
    }
    return text;
}
