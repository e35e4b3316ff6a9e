#include "shell/help.h"

#include <QFile>

namespace zarvik {

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

HelpViewer::HelpViewer(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setWindowTitle(tr("Справка"));
    setSearchPaths({":/help"});
    setOpenLinks(true);
    resize(560, 460);
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

bool HelpViewer::showTopic(const QString& topic) {
    const QString file = ":/help/" + topic + ".html";
    if (!QFile::exists(file))
        return false;
    setSource(QUrl("qrc" + file));
    m_topic = topic;
    show();
    raise();
    return true;
}

bool HelpViewer::showContext(int helpContext) {
    return showTopic(topicForContext(helpContext));
}

} // namespace zarvik
