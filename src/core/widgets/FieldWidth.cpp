#include "core/widgets/FieldWidth.h"

#include <QFontMetrics>
#include <QLineEdit>

int fittedLineEditWidth(const QLineEdit *edit, const QString &sample)
{
    // The standard hint (which polishes, so the font is final) is 17 "x" plus
    // frame and margins: keep the frame and margins, hold the sample instead,
    // with a digit's breadth left for the cursor and a little air.
    const int standard = edit->QLineEdit::sizeHint().width();
    const QFontMetrics fm(edit->font());
    return standard - 17 * fm.horizontalAdvance(QLatin1Char('x')) + fm.horizontalAdvance(sample)
           + fm.horizontalAdvance(QLatin1Char('0'));
}
