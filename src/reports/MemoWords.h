#pragma once

#include <QStringList>
#include <functional>

// Long texts are cut into words, each followed by a marker telling what
// separated it from the next: "$ES" a blank, "$TI" a hyphen, "$RC" a line
// break (CR-LF, CR or LF), "$FI" after the last word; "$XX" ends the list.
namespace MemoWords {

QStringList split(const QString &text);

// Builds the lines again from the words: a blank or a hyphen joins words on
// a line as long as the line's width (measured by `width`) stays within
// `maxWidth`; "$RC" forces a new line. A word wider than the line stands alone.
QStringList lines(const QStringList &words, double maxWidth, const std::function<double(const QString &)> &width);

} // namespace MemoWords
