#pragma once

#include <QList>
#include <QPageSize>
#include <QString>

// The paper formats a printer can offer, by their code and French name.
struct PaperFormat
{
    int code;
    QString name;
    QPageSize::PageSizeId size;
};

namespace PaperFormats {

constexpr int DefaultCode = 9; // A4

// The named formats, in code order.
const QList<PaperFormat> &all();
// The format of a code, A4 for an unknown one.
PaperFormat byCode(int code);
// The code of a page size (the named formats only; 0 when none matches).
int codeFor(QPageSize::PageSizeId size);

} // namespace PaperFormats
