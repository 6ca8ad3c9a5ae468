#include "reports/PaperFormats.h"

const QList<PaperFormat> &PaperFormats::all()
{
    static const QList<PaperFormat> formats = {
        {1, QStringLiteral("Lettre US (21,59 x 27,94 cm)"), QPageSize::Letter},
        {8, QStringLiteral("A3 (29,7 x 42 cm)"), QPageSize::A3},
        {9, QStringLiteral("A4 (21 x 29,7 cm)"), QPageSize::A4},
        {10, QStringLiteral("Petit A4 (21 x 29,7 cm)"), QPageSize::A4},
        {11, QStringLiteral("A5 (14,8 x 21 cm)"), QPageSize::A5},
    };
    return formats;
}

PaperFormat PaperFormats::byCode(int code)
{
    for (const PaperFormat &f : all())
        if (f.code == code)
            return f;
    return byCode(DefaultCode);
}

int PaperFormats::codeFor(QPageSize::PageSizeId size)
{
    for (const PaperFormat &f : all())
        if (f.size == size)
            return f.code;
    return 0;
}
