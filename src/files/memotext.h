#pragma once
// The text of a memo as the operator typed it.

#include <QStringList>

class QPlainTextEdit;

namespace zarvik {

// The memo's lines. QPlainTextEdit::toPlainText() would turn every no-break space into a
// plain one, so a comment would change at each load and save.
QStringList memoLines(const QPlainTextEdit& memo);

} // namespace zarvik
