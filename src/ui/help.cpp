#include "ui/help.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <memory>

namespace zarvik {
namespace {

const QString kFallbackLanguage = QStringLiteral("ru");
const QString kContents = QStringLiteral("Idh_Contents");

} // namespace

int helpContextOf(const QWidget* widget, int fallback) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        const QVariant ctx = widget->property("helpContext");
        if (ctx.isValid())
            return ctx.toInt();
    }
    return fallback;
}

void setHelpContext(QWidget* widget, int helpContext) {
    widget->setProperty("helpContext", helpContext);
}

void setHelpTopic(QWidget* widget, const QString& topic) {
    widget->setProperty("helpTopic", topic);
}

QString helpTopicOf(const QWidget* widget, int fallbackContext) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        const QVariant topic = widget->property("helpTopic");
        if (topic.isValid())
            return topic.toString();
        const QVariant ctx = widget->property("helpContext");
        if (ctx.isValid())
            return HelpViewer::topicForContext(ctx.toInt());
    }
    return HelpViewer::topicForContext(fallbackContext);
}

HelpViewer::HelpViewer(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setWindowTitle(tr("Справка"));
    setOpenLinks(true);
    resize(640, 560);
    connect(this, &QTextBrowser::sourceChanged, this, &HelpViewer::showTitle);
}

QString HelpViewer::topicForContext(int helpContext) {
    switch (helpContext) {
    case 2:
        return "Idh_Comment";
    case 3:
        return "Idh_Browser";
    case 4:
        return "Idh_Measure";
    case 5:
        return "Idh_Options";
    case 6:
        return "Idh_Window";
    case 7:
        return "Idh_Files";
    case 8:
        return "Idh_Copy";
    default:
        return "Idh_Bgn";
    }
}

QString HelpViewer::pageFile(const QString& language, const QString& page) {
    const QString file = ":/help/" + language + "/" + page + ".html";
    return QFile::exists(file) ? file : QString();
}

QUrl HelpViewer::pageUrl(const QString& page) const {
    QString file = pageFile(m_language, page);
    if (file.isEmpty())
        file = pageFile(kFallbackLanguage, page);
    return file.isEmpty() ? QUrl() : QUrl("qrc" + file);
}

void HelpViewer::setLanguage(const QString& language) {
    if (language == m_language)
        return;
    const QString anchor = source().fragment();
    m_language = language;
    if (!m_topic.isEmpty())
        load(anchor.isEmpty() ? m_topic : m_topic + "#" + anchor);
}

bool HelpViewer::load(const QString& topic) {
    const QString page = topic.section('#', 0, 0);
    const QString anchor = topic.section('#', 1);
    QUrl url = pageUrl(page);
    if (!url.isValid())
        return false;
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    setSource(url);
    return true;
}

bool HelpViewer::showTopic(const QString& topic) {
    if (!load(topic))
        return false;
    show();
    raise();
    return true;
}

bool HelpViewer::showContext(int helpContext) {
    return showTopic(topicForContext(helpContext));
}

void HelpViewer::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    QUrl url = name;
    // A link between pages stays in the folder of the page it is on; the page it names may be
    // missing in that language.
    if (url.scheme() == "qrc" && !QFile::exists(":" + url.path())) {
        const QString page = url.fileName().section('.', 0, 0);
        const QUrl fallback = pageUrl(page);
        if (fallback.isValid()) {
            const QString anchor = url.fragment();
            url = fallback;
            url.setFragment(anchor.isEmpty() ? QString() : anchor);
        }
    }
    QTextBrowser::doSetSource(url, type);
    if (url.scheme() == "qrc")
        m_topic = url.fileName().section('.', 0, 0);
}

void HelpViewer::showTitle() {
    const QString title = documentTitle();
    setWindowTitle(title.isEmpty() ? tr("Справка") : tr("Справка") + " - " + title);
}

void HelpViewer::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().front();
    QAction* back = new QAction(tr("Назад"), menu.get());
    back->setEnabled(isBackwardAvailable());
    connect(back, &QAction::triggered, this, &QTextBrowser::backward);
    QAction* forth = new QAction(tr("Вперёд"), menu.get());
    forth->setEnabled(isForwardAvailable());
    connect(forth, &QAction::triggered, this, &QTextBrowser::forward);
    QAction* contents = new QAction(tr("Содержание"), menu.get());
    connect(contents, &QAction::triggered, this, [this] { load(kContents); });
    menu->insertActions(first, {back, forth, contents});
    menu->insertSeparator(first);
    menu->exec(event->globalPos());
}

} // namespace zarvik
