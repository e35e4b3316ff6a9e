#pragma once
// The program's help: HTML topics built into the program, one folder per language, shown in a
// browser window. A topic is reached by its name ("Idh_Bgn"), by a place inside it
// ("Idh_Measure#seF") or by the help context number of a control.

#include <QTextBrowser>

namespace zarvik {

// The help context of a control: its own, or that of the nearest parent that has one; the
// fallback when none has.
int helpContextOf(const QWidget* widget, int fallback);
void setHelpContext(QWidget* widget, int helpContext);

// The place in the help that tells of one control, "Idh_Page#anchor". The context numbers
// name whole topics; a control (or a panel) with a place of its own opens the help there.
void setHelpTopic(QWidget* widget, const QString& topic);
// What F1 on the control opens: the place of the control or of the nearest parent that has
// one, unless a context number comes first on the way up; then the topic of that number.
QString helpTopicOf(const QWidget* widget, int fallbackContext);

class HelpViewer : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // "ru" (the default) or "en"; a page missing in the language is shown in Russian. A page
    // on show is shown again in the new language.
    void setLanguage(const QString& language);
    QString language() const { return m_language; }

    // Shows the topic, "Idh_Page" or "Idh_Page#anchor"; false (and nothing shown) when there
    // is no such page.
    bool showTopic(const QString& topic);
    bool showContext(int helpContext);
    // The page on show, without the anchor; it follows the links the operator clicks.
    QString currentTopic() const { return m_topic; }

    static QString topicForContext(int helpContext);
    // The resource file of a page in a language, without the fallback; empty when missing.
    static QString pageFile(const QString& language, const QString& page);

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The page in the viewer's language, or in Russian; an invalid address when neither has it.
    QUrl pageUrl(const QString& page) const;
    bool load(const QString& topic);
    void showTitle();

    QString m_language = QStringLiteral("ru");
    QString m_topic;
};

} // namespace zarvik
