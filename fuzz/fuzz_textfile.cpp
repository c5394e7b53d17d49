// Code page 932: what decodes must encode back to the same bytes' text, and
// the line reader must agree with the decoder, every line end ending a line.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/textfile.h"
#include "fuzz_common.h"

using namespace velto;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzContext &fc = fuzz::context();
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));

    QString text;
    QString error;
    const bool decoded = textfile::decode(bytes, &text, &error);
    if (decoded) {
        QByteArray again;
        QString why;
        FUZZ_CHECK(textfile::encode(text, &again, &why));
        QString back;
        FUZZ_CHECK(textfile::decode(again, &back, &why));
        FUZZ_CHECK(back == textfile::mapTypedCharacters(text));
    } else {
        FUZZ_CHECK(!error.isEmpty());
    }

    // The same bytes as a line file.
    const QString path = fc.ctx.path(QStringLiteral("DB/fuzz_lines.txt"));
    fuzz::writeFile(path, bytes);
    QStringList lines;
    const bool read = textfile::readLines(path, &lines, &error);
    FUZZ_CHECK(read == decoded);
    if (read) {
        // CR LF, LF and a lone CR each end one line.
        QString ends = text;
        ends.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        ends.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QString joined = lines.join(QLatin1Char('\n'));
        if (!lines.isEmpty() && ends.endsWith(QLatin1Char('\n')))
            joined += QLatin1Char('\n');
        FUZZ_CHECK(joined == ends);
        for (const QString &line : std::as_const(lines))
            FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
    }

    // Line by line, damaged lines named: each line as if decoded alone.
    QByteArray ends = bytes;
    ends.replace("\r\n", "\n");
    ends.replace('\r', '\n');
    QList<QByteArray> rawLines = ends.split('\n');
    if (ends.isEmpty() || ends.endsWith('\n'))
        rawLines.removeLast();
    QStringList each;
    QList<int> bad;
    FUZZ_CHECK(textfile::readLinesEach(path, &each, &bad, &error));
    FUZZ_CHECK(each.size() == rawLines.size());
    QList<int> badAlone;
    for (int i = 0; i < rawLines.size() && i < each.size(); ++i) {
        QString alone;
        if (textfile::decode(rawLines.at(i), &alone, nullptr))
            FUZZ_CHECK(each.at(i) == alone);
        else
            badAlone << i + 1;
    }
    FUZZ_CHECK(bad == badAlone);
    FUZZ_CHECK(bad.isEmpty() == decoded);

    // The input as UTF-16 text: what encodes decodes back to its mapped self.
    if (size >= 2) {
        QString utf16(qsizetype(size / 2), Qt::Uninitialized);
        std::memcpy(utf16.data(), data, (size / 2) * 2);
        QByteArray out;
        QString why;
        if (textfile::encode(utf16, &out, &why)) {
            QString back;
            FUZZ_CHECK(textfile::decode(out, &back, &why));
            FUZZ_CHECK(back == textfile::mapTypedCharacters(utf16));
        } else {
            FUZZ_CHECK(!why.isEmpty());
        }
    }
    return 0;
}
