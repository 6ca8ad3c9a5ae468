#include "core/PasswordCodec.h"

namespace {

const char Phrase[] = "Blue herons at dawn";
constexpr int PhraseLength = sizeof(Phrase) - 1;

// Unicode of Windows-1252 codes 0x80-0x9F; the rest of the page is Latin-1.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr int NotInPage = -1;

int cp1252Code(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == u)
            return 0x80 + i;
    return NotInPage;
}

int toCp1252(QChar c)
{
    const int code = cp1252Code(c);
    return code == NotInPage ? '?' : code;
}

QChar fromCp1252(int code)
{
    if (code >= 0x80 && code < 0xA0)
        return QChar(Cp1252High[code - 0x80]);
    return QChar(char16_t(code));
}

// The running key: advances the phrase position and adds its character.
struct KeyStream
{
    int sum = 0;
    int position = 0;
    int next()
    {
        position = position % PhraseLength + 1;
        sum += static_cast<unsigned char>(Phrase[position - 1]);
        if (sum > 255)
            sum -= 256;
        return sum;
    }
};

} // namespace

QString PasswordCodec::encode(const QString &text)
{
    QString out;
    out.reserve(text.size() * 3);
    KeyStream key;
    for (QChar c : text) {
        int v = toCp1252(c) + key.next();
        if (v > 255)
            v -= 256;
        out += QStringLiteral("%1").arg(v, 3, 10, QLatin1Char('0'));
    }
    return out;
}

QString PasswordCodec::decode(const QString &digits)
{
    QString out;
    KeyStream key;
    for (qsizetype i = 0; i + 3 <= digits.size(); i += 3) {
        int v = digits.mid(i, 3).toInt() - key.next();
        if (v < 0)
            v += 256;
        out += fromCp1252(v);
    }
    return out;
}

QString PasswordCodec::refusal(const QString &text, int width, const QString &what)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (cp1252Code(text.at(i)) == NotInPage) {
            const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            return QStringLiteral("%1 ne peut contenir que des lettres et signes de l'alphabet latin : « %2 » n'en est pas un")
                .arg(what, text.mid(i, length));
        }
    }
    const int most = width / 3;
    if (text.size() > most)
        return QStringLiteral("%1 est trop long : %2 caractères au plus").arg(what).arg(most);
    return {};
}
