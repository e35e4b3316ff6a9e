#pragma once
// The text of a memo as the operator typed it, and the way text leaves the program through
// the hidden clipboard memo.

#include <QStringList>

class QPlainTextEdit;

namespace zarvik {

// The memo's lines. QPlainTextEdit::toPlainText() would turn every no-break space into a
// plain one, so a comment would change at each load and save.
QStringList memoLines(const QPlainTextEdit& memo);

// Selects all of `memo` and puts its text on the clipboard as plain text only: with the rich
// copy beside it a spreadsheet pastes a tab-separated listing into one column.
void copyMemoToClipboard(QPlainTextEdit& memo);

} // namespace zarvik
