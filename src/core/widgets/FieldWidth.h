#pragma once

class QLineEdit;
class QString;

// Width of a line edit made to hold `sample` (the widest text it will show)
// rather than Qt's all-purpose default, frame and margins included.
int fittedLineEditWidth(const QLineEdit *edit, const QString &sample);
