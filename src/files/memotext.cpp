#include "files/memotext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace zarvik {

QStringList memoLines(const QPlainTextEdit& memo) {
    QStringList lines;
    // A line break typed within a paragraph (Shift+Enter) ends a line as well.
    for (QTextBlock b = memo.document()->begin(); b.isValid(); b = b.next())
        lines << b.text().split(QChar::LineSeparator);
    return lines;
}

void copyMemoToClipboard(QPlainTextEdit& memo) {
    memo.selectAll();
    QGuiApplication::clipboard()->setText(memoLines(memo).join('\n'));
}

} // namespace zarvik
