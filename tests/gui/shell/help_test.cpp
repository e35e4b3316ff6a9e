// The help as the operator meets it: every link of every page leads to a page and a place in
// it, in both languages, and F1 on every control of the windows opens the text about it.
#include "analysis/spectrumwindow.h"
#include "chart/chart.h"
#include "history/historywindow.h"
#include "shell/tform1.h"
#include "ui/help.h"
#include "ui/widgets.h"
#include "view/cursortable.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

using zarvik::HelpViewer;

struct Page {
    QMap<QString, QString> places; // anchor name: its block and the block after it
    QStringList links;             // hrefs and image sources
};

Page pageOf(const QString& language, const QString& page) {
    QFile f(":/help/" + language + "/" + page + ".html");
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(f.readAll()));
    Page p;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& name : format.anchorNames())
                p.places[name] = b.text() + "\n" + b.next().text();
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                p.links << format.anchorHref();
            if (format.isImageFormat())
                p.links << format.toImageFormat().name();
        }
    return p;
}

QStringList pagesOf(const QString& language) {
    QStringList pages = QDir(":/help/" + language).entryList({"*.html"}, QDir::Files, QDir::Name);
    pages.replaceInStrings(".html", "");
    return pages;
}

// Whether "Idh_Page#place" (or a bare page) is in the help of the language.
bool found(const QString& language, const QString& topic) {
    const QString page = topic.section('#', 0, 0);
    const QString place = topic.section('#', 1);
    return !HelpViewer::pageFile(language, page).isEmpty() &&
           (place.isEmpty() || pageOf(language, page).places.contains(place));
}

TEST(HelpPages, EveryLinkInBothLanguagesFindsItsPageAndPlace) {
    const QStringList pages = pagesOf("ru");
    EXPECT_GE(pages.size(), 17);
    EXPECT_EQ(pagesOf("en").join(' ').toStdString(), pages.join(' ').toStdString());
    for (int context = 0; context <= 8; ++context)
        EXPECT_TRUE(pages.contains(HelpViewer::topicForContext(context))) << context;
    for (const QString& language : QStringList{"ru", "en"})
        for (const QString& name : pages) {
            const Page page = pageOf(language, name);
            const std::string where = (language + "/" + name).toStdString();
            // The same places in both languages: F1 lands in either.
            EXPECT_EQ(page.places.keys().join(' ').toStdString(),
                      pageOf("ru", name).places.keys().join(' ').toStdString())
                << where;
            EXPECT_FALSE(page.links.isEmpty()) << where;
            for (const QString& href : page.links) {
                const QUrl url(href);
                // The help is read without a network: it links only to its own pages.
                EXPECT_TRUE(url.scheme().isEmpty()) << where << " " << href.toStdString();
                if (!url.path().isEmpty() && !url.path().endsWith(".html")) {
                    EXPECT_TRUE(QFile::exists(":/help/" + language + "/" + url.path())) << where;
                    continue; // an image
                }
                const QString target = url.path().isEmpty() ? name : url.path().chopped(5);
                EXPECT_TRUE(found(language, target + "#" + url.fragment()))
                    << where << " " << href.toStdString();
            }
        }
}

// Presses F1 on every control of the window, each enabled and shown as the operator may meet
// it, and checks that the help shows the control's own place, which both languages have;
// `expected` names the place of some of them.
void checkF1(zarvik::TForm1& form, QWidget* window, const QMap<QString, QString>& expected) {
    window->show();
    int met = 0;
    int controls = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
            qobject_cast<QComboBox*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
            qobject_cast<zarvik::ColorPanel*>(w) || qobject_cast<zarvik::Chart*>(w) ||
            (qobject_cast<QAbstractItemView*>(w) && !qobject_cast<QHeaderView*>(w)) ||
            (qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractSpinBox*>(w->parent()));
        // The staging memo of the clipboard and the buttons that are never shown are none of
        // the operator's; a window of its own is checked by itself.
        if (!control ||
            QStringList{"mClipBoard", "btBoot", "btSpectrum"}.contains(w->objectName()) ||
            w->window() != window)
            continue;
        ++controls;
        const std::string name = w->objectName().toStdString();
        w->setEnabled(true);
        w->show();                // the trend chart stands where the spectrum chart is
        window->activateWindow(); // the help took the activation at the last F1
        w->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), w) << name;
        // Sent to the control, as the key comes: a control that kept F1 would open nothing.
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(w, &f1);
        auto* help = form.findChild<HelpViewer*>();
        ASSERT_TRUE(help && help->isVisible()) << name;
        const QString fragment = help->source().fragment();
        const QString place = help->currentTopic() + "#" + fragment;
        EXPECT_FALSE(fragment.isEmpty()) << name << ": a place, not the start of a page";
        EXPECT_EQ(place.toStdString(), zarvik::helpTopicOf(w, 0).toStdString()) << name;
        EXPECT_TRUE(found("ru", place) && found("en", place)) << name << " " << place.toStdString();
        if (expected.contains(w->objectName())) {
            EXPECT_EQ(place.toStdString(), expected[w->objectName()].toStdString());
            ++met;
        }
        // The text there names the control by its caption.
        const auto* button = qobject_cast<QAbstractButton*>(w);
        if (button && button->text().size() > 1) {
            const QString text = pageOf("ru", help->currentTopic()).places[fragment];
            EXPECT_TRUE(text.contains(button->text())) << name;
        }
        help->hide();
    }
    EXPECT_GE(controls, 10);
    EXPECT_EQ(met, expected.size());
}

// The Russian source texts of the interface that have an English translation.
QStringList translatedSources() {
    QFile f(ZARVIK_SOURCE_ROOT "/translations/zarvik_en.ts");
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
    QXmlStreamReader xml(&f);
    QStringList sources;
    QString source;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            if (xml.name() == u"source")
                source = xml.readElementText();
            else if (xml.name() == u"translation" && !xml.readElementText().isEmpty())
                sources << source.simplified();
        }
    return sources;
}

// Whether a quoted text is a source text, "%1" and the like standing for any words.
bool isSource(const QString& quoted, const QStringList& sources) {
    for (const QString& source : sources) {
        QString pattern = QRegularExpression::escape(source);
        pattern.replace(QRegularExpression(R"(%\d)"), ".+");
        if (QRegularExpression("^" + pattern + "$").match(quoted).hasMatch())
            return true;
    }
    return false;
}

TEST(HelpPages, EnglishPagesQuoteTheEnglishCaptions) {
    // Texts the program writes into files stay Russian in either language.
    const QStringList fileContents = {"Время, мкс", "Время, мс", "Время, с", "Ускорение, см/с/c",
                                      "Каналы"};
    const QStringList sources = translatedSources();
    ASSERT_GT(sources.size(), 100);
    const QRegularExpression quote(R"re("([^"]*)"|«([^»]*)»|“([^”]*)”)re");
    const QRegularExpression cyrillic(R"([\x{0400}-\x{04FF}])");
    for (const QString& page : pagesOf("en")) {
        QFile f(":/help/en/" + page + ".html");
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(f.readAll()));
        for (auto m = quote.globalMatch(doc.toPlainText()); m.hasNext();) {
            const auto found = m.next();
            const QString quoted =
                (found.captured(1) + found.captured(2) + found.captured(3)).simplified();
            if (quoted.contains(cyrillic) && !fileContents.contains(quoted)) {
                EXPECT_FALSE(isSource(quoted, sources))
                    << page.toStdString() << ": \"" << quoted.toStdString() << "\"";
            }
        }
    }
}

TEST(HelpOfTheWindows, F1OnEveryControlOpensItsPlace) {
    QTemporaryDir dir;
    zarvik::TForm1 form(dir.path() + "/");
    zarvik::TForm2 spectrum;
    form.setSpectrumWindow(&spectrum);
    for (QWidget* panel :
         QWidgetList{form.gbFT, form.gbOptions, form.gbChart, form.gbAllCmnt, form.cursorTable()})
        panel->show();
    checkF1(form, &form,
            {{"seF", "Idh_Measure#seF"},
             {"cbCh3", "Idh_Measure#cbCh"},
             {"btUSB", "Idh_Measure#btUSB"},
             {"btSave", "Idh_Files#btSave"},
             {"btCopy", "Idh_Copy#btCopy"},
             {"mComment", "Idh_Comment#mComment"},
             {"Chart1", "Idh_Chart#Chart1"},
             {"pColorCh5", "Idh_Options#pColorCh"},
             {"cbStoreX", "Idh_Options#cbStoreX"},
             {"cbLanguage", "Idh_Options#cbLanguage"},
             {"btZeros", "Idh_ChartPanel#btZeros"},
             {"btRemoveReference2", "Idh_ChartPanel#btRemoveReference"},
             {"btCopyCursors", "Idh_Chart#btCopyCursors"},
             {"eFind", "Idh_Browser#eFind"},
             {"btHistory", "Idh_History#btHistory"},
             {"seHistoryLimit", "Idh_Options#seHistoryLimit"},
             {"MAllCmnt", "Idh_Browser#MAllCmnt"}});
    checkF1(form, form.historyWindow(),
            {{"tvHistory", "Idh_History#tvHistory"},
             {"btHistPin", "Idh_History#btHistPin"},
             {"eHistFilter", "Idh_History#eHistFilter"}});
    checkF1(form, &spectrum,
            {{"seStep", "Idh_Spectrum#seStep"},
             {"btSaveCh", "Idh_Copy#btSaveCh"},
             {"cbSp2ClipBrd", "Idh_Spectrum#cbSp2ClipBrd"}});
    // No control focused: the window's own page.
    spectrum.activateWindow();
    QApplication::focusWidget()->clearFocus();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&spectrum, &f1);
    EXPECT_EQ(form.findChild<HelpViewer*>()->source().toString(), "qrc:/help/ru/Idh_Spectrum.html");
}

TEST(HelpViewer, ShowsThePagesOfItsLanguageAndRussianWhereItHasNone) {
    HelpViewer help;
    help.resize(500, 300);
    // Language, and the folder the pages then come from.
    const std::pair<QString, QString> cases[] = {{"ru", "ru"}, {"en", "en"}, {"de", "ru"}};
    QMap<QString, QString> titles;
    for (const auto& [language, folder] : cases) {
        help.setLanguage(language);
        ASSERT_TRUE(help.showTopic("Idh_Messages#status"));
        EXPECT_EQ(help.source().toString(), "qrc:/help/" + folder + "/Idh_Messages.html#status");
        // The place is near the end of a long page: the browser has scrolled to it.
        EXPECT_GT(help.verticalScrollBar()->value(), 0) << language.toStdString();
        EXPECT_TRUE(help.windowTitle().endsWith(" - " + help.documentTitle()));
        // The pages share one style sheet: a heading takes its colour from it.
        QTextBlock heading = help.document()->begin();
        while (heading.isValid() && heading.blockFormat().headingLevel() != 1)
            heading = heading.next();
        ASSERT_TRUE(heading.isValid()) << language.toStdString();
        EXPECT_EQ(heading.charFormat().foreground().color(), QColor("#1f3f6e"));
        titles[language] = help.documentTitle();
    }
    EXPECT_NE(titles["en"], titles["ru"]);
    EXPECT_EQ(titles["de"], titles["ru"]);

    // A link to a page the language lacks leads to the Russian one.
    help.setSource(QUrl("qrc:/help/de/Idh_Measure.html#seF"));
    EXPECT_EQ(help.source().toString(), "qrc:/help/ru/Idh_Measure.html#seF");
    EXPECT_EQ(help.currentTopic(), "Idh_Measure");
    // A page on show follows the change of language, at the same place.
    help.setLanguage("en");
    EXPECT_EQ(help.source().toString(), "qrc:/help/en/Idh_Measure.html#seF");
    EXPECT_FALSE(help.showTopic("Idh_None"));
    EXPECT_EQ(help.currentTopic(), "Idh_Measure");
}

} // namespace
