#pragma once
// The program's help: HTML topics built into the program, shown in a browser window. A topic
// is reached by its name ("Idh_Bgn") or by the help context number of a control.

#include <QTextBrowser>

namespace zarvik {

// The help context of a control: its own, or that of the nearest parent that has one; the
// fallback when none has.
int helpContextOf(const QWidget* widget, int fallback);
void setHelpContext(QWidget* widget, int helpContext);

class HelpViewer : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the topic; false (and nothing shown) when there is no such topic.
    bool showTopic(const QString& topic);
    bool showContext(int helpContext);
    QString currentTopic() const { return m_topic; }

    static QString topicForContext(int helpContext);

private:
    QString m_topic;
};

} // namespace zarvik
